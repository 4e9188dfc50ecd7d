#include "TestPlug.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<unsigned char>;

void BE32(Bytes* b, unsigned v)
{
  for (int s = 24; s >= 0; s -= 8) b->push_back(static_cast<unsigned char>(v >> s));
}
void Magic(Bytes* b, const char* m)
{
  for (int i = 0; i < 4; ++i) b->push_back(static_cast<unsigned char>(m[i]));
}
void BEFloat(Bytes* b, float f)
{
  unsigned u;
  std::memcpy(&u, &f, 4);
  BE32(b, u);
}
void Name(Bytes* b, const char* n)
{
  char field[28] = {};
  std::strncpy(field, n, 27);
  b->insert(b->end(), field, field + 28);
}
Bytes ToBytes(const ByteChunk& c) { return Bytes(c.GetBytes(), c.GetBytes() + c.Size()); }

const unsigned kID = 0x5465736B;

// A 13-parameter plug-in with 0..1 doubles and the given number of presets.
TestPlug::Options Opts(int nPresets, bool chunks = false)
{
  TestPlug::Options o;
  o.nPresets = nPresets;
  o.doesChunks = chunks;
  return o;
}

std::vector<double> Values(double base)
{
  std::vector<double> v;
  for (int i = 0; i < 13; ++i) v.push_back(base + i * 0.0625);  // exact in float
  return v;
}

// Everything a refused load must leave alone.
struct Observed
{
  std::vector<double> values;
  std::vector<std::string> names;
  std::vector<Bytes> chunks;
  std::vector<bool> flags;
  int current;
  bool operator==(const Observed&) const = default;
};

Observed Observe(TestPlug& p)
{
  Observed o{p.Values(), {}, {}, {}, p.GetCurrentPresetIdx()};
  for (int i = 0; i < p.NPresets(); ++i)
  {
    o.names.push_back(p.GetPresetName(i));
    o.chunks.push_back(ToBytes(p.mPresets.Get(i)->mChunk));
    o.flags.push_back(p.mPresets.Get(i)->mInitialized);
  }
  return o;
}

TEST(ProgramFile, ParameterFormByteLayout)
{
  TestPlug plug(Opts(1));
  plug.InitDoubles();
  plug.SetValues(Values(0.125));
  plug.MakeDefaultPreset("-", 1);
  ByteChunk file;
  ASSERT_TRUE(plug.MakeProgramFXP(&file));

  Bytes expected;
  Magic(&expected, "CcnK");
  BE32(&expected, 0);
  Magic(&expected, "FxCk");
  BE32(&expected, 1);
  BE32(&expected, kID);
  BE32(&expected, 10000);  // version 1.0.0 in decimal form
  BE32(&expected, 13);
  Name(&expected, "-");
  for (double v : Values(0.125)) BEFloat(&expected, static_cast<float>(v));
  ASSERT_EQ(expected.size(), 108u);
  EXPECT_EQ(ToBytes(file), expected);
}

TEST(BankFile, ParameterFormByteLayout)
{
  TestPlug plug(Opts(3));
  plug.InitDoubles();
  plug.SetValues(Values(0.0));
  plug.MakeDefaultPreset("first", 1);
  plug.SetValues(Values(0.125));
  plug.MakeDefaultPreset("second", 1);
  ByteChunk shortChunk;  // a preset whose chunk holds only two values: the rest count as 0
  const double two[2] = {0.5, 0.75};
  shortChunk.PutBytes(two, 16);
  plug.MakePresetFromChunk("third", &shortChunk);
  ASSERT_TRUE(plug.RestorePreset(1));

  ByteChunk file;
  ASSERT_TRUE(plug.MakeBankFXB(&file));

  Bytes expected;
  Magic(&expected, "CcnK");
  BE32(&expected, 0);
  Magic(&expected, "FxBk");
  BE32(&expected, 2);
  BE32(&expected, kID);
  BE32(&expected, 10000);
  BE32(&expected, 3);
  BE32(&expected, 1);  // current program
  expected.resize(156, 0);
  const char* names[] = {"first", "second", "third"};
  for (int p = 0; p < 3; ++p)
  {
    Magic(&expected, "CcnK");
    BE32(&expected, 0);
    Magic(&expected, "FxCk");
    BE32(&expected, 1);
    BE32(&expected, kID);
    BE32(&expected, 10000);
    BE32(&expected, 13);
    Name(&expected, names[p]);
    std::vector<double> v = p == 0 ? Values(0.0) : p == 1 ? Values(0.125) : std::vector<double>(13, 0.0);
    if (p == 2) v[0] = 0.5, v[1] = 0.75;
    for (double x : v) BEFloat(&expected, static_cast<float>(x));
  }
  ASSERT_EQ(expected.size(), 156u + 3 * 108u);
  EXPECT_EQ(ToBytes(file), expected);
}

TEST(ProgramFile, ChunkFormLayoutAndHeaderlessChunk)
{
  TestPlug plug(Opts(1, true));
  plug.InitDoubles();
  plug.SetValues(Values(0.25));
  plug.MakeDefaultPreset("chunky", 1);
  ByteChunk file;
  ASSERT_TRUE(plug.MakeProgramFXP(&file));
  const Bytes b = ToBytes(file);
  ASSERT_EQ(b.size(), 60u + 8u + 104u);
  Bytes head;
  Magic(&head, "CcnK");
  BE32(&head, 8 + 104 + 60);
  Magic(&head, "FPCh");
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 12), head);
  Bytes size;
  BE32(&size, 112);
  EXPECT_EQ(Bytes(b.begin() + 56, b.begin() + 60), size);
  const unsigned char verHeader[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(std::memcmp(b.data() + 60, verHeader, 8), 0);

  // The same program without the version header is read from offset 60.
  Bytes headerless(b.begin(), b.begin() + 60);
  headerless.insert(headerless.end(), b.begin() + 68, b.end());
  headerless[59] = 104;
  TestPlug other(Opts(1, true));
  other.InitDoubles();
  other.MakeDefaultPreset("-", 1);
  ASSERT_TRUE(other.LoadProgramFXP(headerless.data(), static_cast<int>(headerless.size())));
  EXPECT_EQ(other.Values(), Values(0.25));
  EXPECT_STREQ(other.GetPresetName(0), "chunky");
}

struct RoundTripCase
{
  const char* name;
  bool chunks;
  bool bank;
};

class RoundTrip : public testing::TestWithParam<RoundTripCase>
{
};

TEST_P(RoundTrip, RestoresValuesAndNames)
{
  const RoundTripCase& c = GetParam();
  TestPlug src(Opts(3, c.chunks));
  src.InitDoubles();
  src.SetValues(Values(0.0));
  src.MakeDefaultPreset("zero", 1);
  src.SetValues(Values(0.125));
  src.MakeDefaultPreset("eighth", 1);
  src.SetValues(Values(0.25));
  src.MakeDefaultPreset("quarter", 1);
  ASSERT_TRUE(src.RestorePreset(2));

  ByteChunk file;
  ASSERT_TRUE(c.bank ? src.MakeBankFXB(&file) : src.MakeProgramFXP(&file));

  TestPlug dst(Opts(3, c.chunks));
  dst.InitDoubles();
  dst.MakeDefaultPreset("a", 1);
  dst.MakeDefaultPreset("b", 1);
  dst.MakeDefaultPreset("c", 1);
  dst.events.clear();
  ASSERT_TRUE(c.bank ? dst.LoadBankFXB(file.GetBytes(), file.Size())
                     : dst.LoadProgramFXP(file.GetBytes(), file.Size()));
  // A chunk-form bank carries no current program of its own: the plug-in stays on its
  // current slot and takes that slot's new values.
  const bool keepsCurrent = c.bank && c.chunks;
  EXPECT_EQ(dst.Values(), keepsCurrent ? Values(0.0) : Values(0.25));
  EXPECT_EQ(dst.events.back(), "program change");
  if (c.bank)
  {
    EXPECT_EQ(dst.GetCurrentPresetIdx(), keepsCurrent ? 0 : 2);
    for (int i = 0; i < 3; ++i) EXPECT_STREQ(dst.GetPresetName(i), src.GetPresetName(i));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(dst.mPresets.Get(i)->mChunk.IsEqual(src.mPresets.Get(i)->mChunk)) << i;
  }
  else
  {
    EXPECT_STREQ(dst.GetPresetName(0), "quarter");  // the current slot takes the program
    EXPECT_STREQ(dst.GetPresetName(1), "b");
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, RoundTrip,
                         testing::Values(RoundTripCase{"ProgramParams", false, false},
                                         RoundTripCase{"ProgramChunk", true, false},
                                         RoundTripCase{"BankParams", false, true},
                                         RoundTripCase{"BankChunk", true, true}),
                         [](const testing::TestParamInfo<RoundTripCase>& i) { return std::string(i.param.name); });

// ---- Malformed files: refused with false, nothing changed ----

struct BadFileCase
{
  const char* name;
  bool chunks;
  bool bank;
  void (*mangle)(Bytes*);
};

// Keeps the first n bytes (a file cut short).
void Truncate(Bytes* b, size_t n)
{
  if (n < b->size()) b->erase(b->begin() + static_cast<std::ptrdiff_t>(n), b->end());
}

void SetBE32(Bytes* b, size_t at, unsigned v)
{
  for (int i = 0; i < 4; ++i) (*b)[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

class BadFile : public testing::TestWithParam<BadFileCase>
{
};

TEST_P(BadFile, IsRefusedAndChangesNothing)
{
  const BadFileCase& c = GetParam();
  TestPlug src(Opts(3, c.chunks));
  src.InitDoubles();
  src.SetValues(Values(0.5));
  src.EnsureDefaultPreset();
  ByteChunk file;
  ASSERT_TRUE(c.bank ? src.MakeBankFXB(&file) : src.MakeProgramFXP(&file));
  Bytes b = ToBytes(file);
  c.mangle(&b);

  TestPlug dst(Opts(3, c.chunks));
  dst.InitDoubles();
  dst.MakeDefaultPreset("keep", 2);
  dst.SetValues(Values(0.0));
  dst.events.clear();
  const Observed before = Observe(dst);
  EXPECT_FALSE(c.bank ? dst.LoadBankFXB(b.data(), static_cast<int>(b.size()))
                      : dst.LoadProgramFXP(b.data(), static_cast<int>(b.size())));
  EXPECT_TRUE(Observe(dst) == before);
  for (const std::string& e : dst.events) EXPECT_NE(e, "program change");
}

INSTANTIATE_TEST_SUITE_P(
  Files, BadFile,
  testing::Values(BadFileCase{"ProgramEmpty", false, false, [](Bytes* b) { Truncate(b, 0); }},
                  BadFileCase{"ProgramHeaderCut", false, false, [](Bytes* b) { Truncate(b, 40); }},
                  BadFileCase{"ProgramValuesCut", false, false, [](Bytes* b) { Truncate(b, 107); }},
                  BadFileCase{"ProgramWrongMagic", false, false, [](Bytes* b) { (*b)[0] = 'X'; }},
                  BadFileCase{"ProgramWrongFormat", false, false, [](Bytes* b) { (*b)[11] = 'X'; }},
                  BadFileCase{"ProgramWrongVersion", false, false, [](Bytes* b) { SetBE32(b, 12, 2); }},
                  BadFileCase{"ProgramWrongID", false, false, [](Bytes* b) { SetBE32(b, 16, 0x41424344); }},
                  BadFileCase{"ProgramWrongParamCount", false, false, [](Bytes* b) { SetBE32(b, 24, 12); }},
                  BadFileCase{"ProgramChunkIntoParamPlug", false, false,
                              [](Bytes* b) { (*b)[8] = 'F', (*b)[9] = 'P', (*b)[10] = 'C', (*b)[11] = 'h'; }},
                  BadFileCase{"ChunkSizePastEnd", true, false, [](Bytes* b) { SetBE32(b, 56, 500); }},
                  BadFileCase{"ChunkSizeNegative", true, false, [](Bytes* b) { SetBE32(b, 56, 0xFFFFFFF0u); }},
                  BadFileCase{"ChunkFileCut", true, false, [](Bytes* b) { Truncate(b, 100); }},
                  BadFileCase{"ChunkStateTooShort", true, false,
                              [](Bytes* b) {
                                SetBE32(b, 56, 8 + 80);
                                Truncate(b, 60 + 88);
                              }},
                  BadFileCase{"BankHeaderCut", false, true, [](Bytes* b) { Truncate(b, 150); }},
                  BadFileCase{"BankRecordsCut", false, true, [](Bytes* b) { Truncate(b, b->size() - 1); }},
                  BadFileCase{"BankWrongVersion", false, true, [](Bytes* b) { SetBE32(b, 12, 3); }},
                  BadFileCase{"BankWrongID", false, true, [](Bytes* b) { SetBE32(b, 16, 1); }},
                  BadFileCase{"BankMoreProgramsThanData", false, true, [](Bytes* b) { SetBE32(b, 24, 4); }},
                  BadFileCase{"BankNegativeProgramCount", false, true, [](Bytes* b) { SetBE32(b, 24, 0xFFFFFFFFu); }},
                  BadFileCase{"BankLastRecordWrongMagic", false, true, [](Bytes* b) { (*b)[156 + 2 * 108] = 'X'; }},
                  BadFileCase{"BankLastRecordWrongCount", false, true,
                              [](Bytes* b) { SetBE32(b, 156 + 2 * 108 + 24, 14); }},
                  BadFileCase{"BankRecordWrongVersion", false, true, [](Bytes* b) { SetBE32(b, 156 + 108 + 12, 2); }},
                  BadFileCase{"BankChunkCut", true, true, [](Bytes* b) { Truncate(b, b->size() - 3); }},
                  BadFileCase{"BankChunkPresetsCut", true, true,
                              [](Bytes* b) {
                                SetBE32(b, 156, 8 + 130);  // the list stops inside the second preset
                                Truncate(b, 160 + 138);
                              }}),
  [](const testing::TestParamInfo<BadFileCase>& i) { return std::string(i.param.name); });

TEST(PresetFileNames, LongNamesAreCutTo27Characters)
{
  const std::string longName = "A preset name that is far too long for the field";
  TestPlug plug(Opts(1));
  plug.InitDoubles();
  plug.MakeDefaultPreset(longName.c_str(), 1);
  ByteChunk file;
  ASSERT_TRUE(plug.MakeProgramFXP(&file));
  ASSERT_EQ(file.Size(), 108);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetBytes()) + 28), longName.substr(0, 27));
  EXPECT_EQ(file.GetBytes()[55], 0);

  TestPlug other(Opts(1));
  other.InitDoubles();
  other.MakeDefaultPreset("-", 1);
  ASSERT_TRUE(other.LoadProgramFXP(file.GetBytes(), file.Size()));
  EXPECT_EQ(std::string(other.GetPresetName(0)), longName.substr(0, 27));

  // A foreign file that fills all 28 bytes without a NUL is read without running past the field.
  Bytes b = ToBytes(file);
  for (int i = 28; i < 56; ++i) b[static_cast<size_t>(i)] = 'Z';
  ASSERT_TRUE(other.LoadProgramFXP(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(std::string(other.GetPresetName(0)), std::string(28, 'Z'));
}

TEST(PresetFileValues, OutOfRangeFloatsAreLimited)
{
  TestPlug plug(Opts(1));
  plug.InitDoubles();
  plug.MakeDefaultPreset("-", 1);
  ByteChunk file;
  plug.MakeProgramFXP(&file);
  Bytes b = ToBytes(file);
  SetBE32(&b, 56, 0x40000000);   // 2.0
  SetBE32(&b, 60, 0xBF800000u);  // -1.0
  SetBE32(&b, 64, 0x7FC00000);   // NaN
  ASSERT_TRUE(plug.LoadProgramFXP(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);
}

TEST(PresetFileBanks, ExtraProgramsAreSkipped)
{
  TestPlug src(Opts(3));
  src.InitDoubles();
  src.SetValues(Values(0.25));
  src.EnsureDefaultPreset();
  ByteChunk file;
  src.MakeBankFXB(&file);

  TestPlug dst(Opts(2));
  dst.InitDoubles();
  dst.MakeDefaultPreset("x", 2);
  ASSERT_TRUE(dst.LoadBankFXB(file.GetBytes(), file.Size()));
  EXPECT_EQ(dst.NPresets(), 2);
  EXPECT_STREQ(dst.GetPresetName(1), "Empty");
  EXPECT_EQ(dst.Values(), Values(0.25));
}

TEST(PresetFileBanks, ProgramForASlotWithAnUnreadableStateLandsInThatSlot)
{
  TestPlug src(Opts(3));
  src.InitDoubles();
  src.SetValues(Values(0.0));
  src.MakeDefaultPreset("zero", 1);
  src.SetValues(Values(0.125));
  src.MakeDefaultPreset("one", 1);
  src.SetValues(Values(0.25));
  src.MakeDefaultPreset("two", 1);
  ByteChunk file;
  src.MakeBankFXB(&file);

  TestPlug dst(Opts(3));
  dst.InitDoubles();
  dst.MakeDefaultPreset("a", 1);
  ByteChunk shortState;
  const double one = 1.0;
  shortState.Put(&one);  // one double of thirteen: restoring it fails
  dst.MakePresetFromChunk("b", &shortState);
  dst.MakeDefaultPreset("c", 1);
  ASSERT_TRUE(dst.LoadBankFXB(file.GetBytes(), file.Size()));

  const char* names[] = {"zero", "one", "two"};
  const double bases[] = {0.0, 0.125, 0.25};
  for (int p = 0; p < 3; ++p)
  {
    EXPECT_STREQ(dst.GetPresetName(p), names[p]);
    ASSERT_EQ(dst.mPresets.Get(p)->mChunk.Size(), 13 * 8) << p;
    double first;
    dst.mPresets.Get(p)->mChunk.Get(&first, 0);
    EXPECT_EQ(first, bases[p]) << p;
  }
}

TEST(PresetFilePaths, SaveAndLoadThroughFiles)
{
  const std::string dir = testing::TempDir();
  const std::string fxp = dir + "iplug_test.fxp", fxb = dir + "iplug_test.fxb";
  TestPlug src(Opts(2));
  src.InitDoubles();
  src.SetValues(Values(0.125));
  src.EnsureDefaultPreset();
  ASSERT_TRUE(src.SaveProgramAsFXPFile(fxp.c_str()));
  ASSERT_TRUE(src.SaveBankAsFXBFile(fxb.c_str()));

  TestPlug dst(Opts(2));
  dst.InitDoubles();
  dst.EnsureDefaultPreset();
  ASSERT_TRUE(dst.LoadProgramFromFXPFile(fxp.c_str()));
  EXPECT_EQ(dst.Values(), Values(0.125));
  ASSERT_TRUE(dst.LoadBankFromFXBFile(fxb.c_str()));

  EXPECT_FALSE(dst.LoadProgramFromFXPFile((dir + "missing.fxp").c_str()));
  EXPECT_FALSE(dst.LoadBankFromFXBFile(""));
  EXPECT_FALSE(src.SaveProgramAsFXPFile("/nonexistent-dir/x.fxp"));
  EXPECT_FALSE(dst.LoadProgramFromFXPFile(fxb.c_str()));  // a bank is not a program
  std::remove(fxp.c_str());
  std::remove(fxb.c_str());

  // Without an editor the prompting forms have nobody to ask.
  EXPECT_FALSE(src.SaveProgramAsFXP("x"));
  EXPECT_FALSE(src.SaveBankAsFXB());
  EXPECT_FALSE(src.LoadProgramFromFXP());
  EXPECT_FALSE(src.LoadBankFromFXB());
}
}  // namespace

namespace
{
TEST(PresetFileValues, ProgramWithoutPresetSlotsStillReachesTheProcessor)
{
  TestPlug src(Opts(1));
  src.InitDoubles();
  src.SetValues(Values(0.125));
  ByteChunk file;
  src.MakeProgramFXP(&file);

  TestPlug dst(Opts(1));
  dst.InitDoubles();
  dst.PruneUninitializedPresets();  // no slots left
  ASSERT_EQ(dst.NPresets(), 0);
  dst.events.clear();
  ASSERT_TRUE(dst.LoadProgramFXP(file.GetBytes(), file.Size()));
  EXPECT_EQ(dst.Values(), Values(0.125));
  EXPECT_EQ(std::count(dst.events.begin(), dst.events.end(), "change 12"), 1);
}
}  // namespace
