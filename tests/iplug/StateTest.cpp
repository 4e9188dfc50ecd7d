#include "TestPlug.h"

#include "base64encdec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace
{
std::vector<double> Ramp(int n, double scale)
{
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back((i + 1) * scale);
  return v;
}

class StateFixture : public testing::Test
{
protected:
  void SetUp() override { plug.InitDoubles(); }
  TestPlug plug;
};

TEST_F(StateFixture, StateIsOneDoublePerParameter)
{
  plug.SetValues(Ramp(13, 0.05));
  ByteChunk c;
  ASSERT_TRUE(plug.SerializeState(&c));
  ASSERT_EQ(c.Size(), 104);
  for (int i = 0; i < 13; ++i)
  {
    double v;
    std::memcpy(&v, c.GetBytes() + 8 * i, 8);
    EXPECT_EQ(v, (i + 1) * 0.05);
  }
  EXPECT_TRUE(plug.CompareState(c.GetBytes(), 0));
  plug.GetParam(12)->Set(0.3);
  EXPECT_FALSE(plug.CompareState(c.GetBytes(), 0));
}

TEST_F(StateFixture, PartialRestoreOf80Bytes)
{
  TestPlug other;
  other.InitDoubles();
  for (int i = 0; i < 13; ++i) other.GetParam(i)->InitDouble("q", 0, (i == 10) ? 0.2 : 0.0, 1, 0.0001);
  other.SetValues(std::vector<double>(13, 0.9));

  plug.SetValues(Ramp(13, 0.05));
  ByteChunk full;
  plug.SerializeState(&full);
  ByteChunk partial;
  partial.PutBytes(full.GetBytes(), 80);

  EXPECT_EQ(other.UnserializeState(&partial, 0), -1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(other.GetParam(i)->Value(), (i + 1) * 0.05) << i;
  EXPECT_EQ(other.GetParam(10)->Value(), 0.2);  // 0, limited to the range
  EXPECT_EQ(other.GetParam(11)->Value(), 0.9);
  EXPECT_EQ(other.GetParam(12)->Value(), 0.9);
  EXPECT_EQ(other.events.size(), 13u);  // every parameter is announced
}

TEST_F(StateFixture, RestoredValuesAreLimitedToTheRange)
{
  ByteChunk c;
  for (int i = 0; i < 13; ++i)
  {
    const double v = (i % 2) ? 7.0 : -7.0;
    c.Put(&v);
  }
  EXPECT_EQ(plug.UnserializeState(&c, 0), 104);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
}

// Limiting a NaN to the range leaves a NaN: a state holding one (or an infinity) is
// refused whole, before any parameter changes or is announced.
TEST_F(StateFixture, AStateWithAValueThatIsNotFiniteIsRefusedWhole)
{
  struct Row
  {
    const char* name;
    int index;
    double value;
  };
  const Row rows[] = {
    {"NaN first", 0, std::numeric_limits<double>::quiet_NaN()},
    {"NaN in the middle", 6, std::numeric_limits<double>::quiet_NaN()},
    {"signalling NaN last", 12, std::numeric_limits<double>::signaling_NaN()},
    {"plus infinity", 3, std::numeric_limits<double>::infinity()},
    {"minus infinity", 9, -std::numeric_limits<double>::infinity()},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    plug.SetValues(Ramp(13, 0.05));
    plug.events.clear();
    ByteChunk c;
    for (int i = 0; i < 13; ++i)
    {
      const double v = i == row.index ? row.value : 0.5;
      c.Put(&v);
    }
    EXPECT_EQ(plug.UnserializeState(&c, 0), -1);
    EXPECT_EQ(plug.Values(), Ramp(13, 0.05));
    EXPECT_TRUE(plug.events.empty());
  }
  // A NaN beyond what a truncated state holds is never read, so the partial restore stands.
  ByteChunk partial;
  const double half = 0.5;
  for (int i = 0; i < 5; ++i) partial.Put(&half);
  EXPECT_EQ(plug.UnserializeState(&partial, 0), -1);
  EXPECT_EQ(plug.GetParam(4)->Value(), 0.5);
}

TEST_F(StateFixture, DefaultPresetAndUserPresetNaming)
{
  TestPlug::Options o;
  o.nPresets = 4;
  TestPlug p4(o);
  p4.InitDoubles();
  p4.MakeDefaultPreset("-", 1);
  EXPECT_STREQ(p4.GetPresetName(0), "-");
  EXPECT_STREQ(p4.GetPresetName(1), "empty");
  EXPECT_STREQ(p4.GetPresetName(-1), "");
  EXPECT_STREQ(p4.GetPresetName(4), "");

  std::strcpy(p4.mPresets.Get(1)->mName, "user preset 1");
  std::strcpy(p4.mPresets.Get(2)->mName, "my user preset 2");
  p4.SetValues(Ramp(13, 0.01));
  p4.events.clear();
  EXPECT_TRUE(p4.RestorePreset(3));
  EXPECT_STREQ(p4.GetPresetName(3), "user preset 3");
  EXPECT_EQ(p4.GetCurrentPresetIdx(), 3);
  EXPECT_EQ(p4.events.front(), "presets changed");
  EXPECT_EQ(p4.mPresets.Get(3)->mChunk.Size(), 104);

  p4.SetValues(std::vector<double>(13, 0.0));
  EXPECT_TRUE(p4.RestorePreset("user preset 3"));  // captured values come back
  EXPECT_DOUBLE_EQ(p4.GetParam(12)->Value(), 0.13);
  EXPECT_FALSE(p4.RestorePreset("User preset 3"));
  EXPECT_FALSE(p4.RestorePreset(""));
  EXPECT_FALSE(p4.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(p4.RestorePreset(9));

  char name[MAX_PRESET_NAME_LEN];
  IPlugBase::MakeDefaultUserPresetName(&p4.mPresets, name);
  EXPECT_STREQ(name, "user preset 4");
}

TEST_F(StateFixture, FailedRestoreKeepsTheCurrentPreset)
{
  TestPlug::Options o;
  o.nPresets = 2;
  TestPlug p2(o);
  p2.InitDoubles();
  ByteChunk empty;
  p2.MakePresetFromChunk("broken", &empty);
  p2.MakeDefaultPreset(nullptr, 5);  // fills the one slot left, names it "Empty"
  EXPECT_STREQ(p2.GetPresetName(1), "Empty");
  EXPECT_TRUE(p2.RestorePreset(1));
  EXPECT_FALSE(p2.RestorePreset("broken"));
  EXPECT_EQ(p2.GetCurrentPresetIdx(), 1);
}

TEST_F(StateFixture, PresetsFromValuesNamedParamsAndBlobs)
{
  TestPlug::Options o;
  o.nParams = 3;
  o.nPresets = 5;
  TestPlug p(o);
  p.GetParam(0)->InitDouble("d", 0.5, 0, 1, 0.01);
  p.GetParam(1)->InitInt("i", 2, 0, 10);
  p.GetParam(2)->InitBool("b", false);

  p.MakePreset("values", 0.25, 7, 1);
  p.MakePresetFromNamedParams("named", 2, 2, 1, 1, 9);
  p.MakePresetFromNamedParams("sentinel", 1, 0, 9.999e-8);  // the marker itself reads as "not named"

  const double blobValues[3] = {0.75, 3.0, 0.0};
  char blob[64];
  wdl_base64encode(reinterpret_cast<const unsigned char*>(blobValues), blob, 24);
  p.MakePresetFromBlob("blob", blob, 16);      // longer blob: exactly 16 bytes kept
  p.MakePresetFromBlob("padded", "AAAA", 12);  // shorter blob: zero-filled to 12

  const struct
  {
    int idx;
    const char* name;
    int size;
    std::vector<double> values;
  } rows[] = {{0, "values", 24, {0.25, 7, 1}},
              {1, "named", 24, {0.5, 9, 1}},
              {2, "sentinel", 24, {0.5, 2, 0}},
              {3, "blob", 16, {0.75, 3.0}},
              {4, "padded", 12, {0.0}}};
  for (const auto& r : rows)
  {
    const IPreset* preset = p.mPresets.Get(r.idx);
    EXPECT_TRUE(preset->mInitialized) << r.name;
    EXPECT_STREQ(preset->mName, r.name);
    ASSERT_EQ(preset->mChunk.Size(), r.size) << r.name;
    for (size_t i = 0; i < r.values.size(); ++i)
    {
      double v;
      preset->mChunk.Get(&v, static_cast<int>(8 * i));
      EXPECT_EQ(v, r.values[i]) << r.name << " value " << i;
    }
  }
  EXPECT_EQ(p.GetParam(1)->Value(), 2.0);  // the live parameters are untouched
  p.MakePreset("no slot left", 0.1, 1, 1);
  EXPECT_EQ(p.NPresets(), 5);
}

TEST_F(StateFixture, NamedParamsStopAtAnUnknownIndex)
{
  TestPlug::Options o;
  o.nParams = 2;
  TestPlug p(o);
  p.GetParam(0)->InitDouble("a", 0.5, 0, 1, 0.01);
  p.GetParam(1)->InitDouble("b", 0.5, 0, 1, 0.01);
  p.MakePresetFromNamedParams("x", 2, 7, 0.1, 1, 0.9);
  double v = 0;
  p.mPresets.Get(0)->mChunk.Get(&v, 8);
  EXPECT_EQ(v, 0.5);
}

TEST_F(StateFixture, PresetListLayoutAndRoundTrip)
{
  TestPlug::Options o;
  o.nParams = 2;
  o.nPresets = 3;
  TestPlug p(o);
  p.GetParam(0)->InitDouble("a", 0.1, 0, 1, 0.01);
  p.GetParam(1)->InitDouble("b", 0.2, 0, 1, 0.01);
  p.MakePreset("one", 0.3, 0.4);
  p.MakePreset("two", 0.5, 0.6);

  ByteChunk c;
  ASSERT_TRUE(p.SerializePresets(&c));
  // "one": 4 + 3 + 1 + 16; "two": the same; the uninitialised "empty": 4 + 5 + 1.
  ASSERT_EQ(c.Size(), 24 + 24 + 10);
  EXPECT_EQ(c.GetBytes()[c.Size() - 1], 0);
  int len;
  c.Get(&len, 48);
  EXPECT_EQ(len, 5);

  TestPlug q(o);
  q.GetParam(0)->InitDouble("a", 0.1, 0, 1, 0.01);
  q.GetParam(1)->InitDouble("b", 0.2, 0, 1, 0.01);
  EXPECT_EQ(q.UnserializePresets(&c, 0), c.Size());
  EXPECT_STREQ(q.GetPresetName(1), "two");
  EXPECT_FALSE(q.mPresets.Get(2)->mInitialized);
  EXPECT_TRUE(q.mPresets.Get(1)->mChunk.IsEqual(p.mPresets.Get(1)->mChunk));
  EXPECT_EQ(q.GetParam(0)->Value(), 0.3);  // the current preset (0) is restored at the end
}

TEST_F(StateFixture, TruncatedPresetListReusesTheLastName)
{
  TestPlug::Options o;
  o.nParams = 1;
  o.nPresets = 3;
  TestPlug p(o);
  p.GetParam(0)->InitDouble("a", 0.1, 0, 1, 0.01);
  ByteChunk c;
  c.PutStr("first");
  c.PutBool(true);
  const double v = 0.4;
  c.Put(&v);
  c.PutStr("");  // an empty name is not "read": the slot takes the previous name
  c.PutBool(false);
  EXPECT_EQ(p.UnserializePresets(&c, 0), -1);
  EXPECT_STREQ(p.GetPresetName(0), "first");
  EXPECT_STREQ(p.GetPresetName(1), "first");
  EXPECT_STREQ(p.GetPresetName(2), "first");
  EXPECT_EQ(p.GetParam(0)->Value(), 0.4);
}

TEST_F(StateFixture, ModifyEnsureAndPrune)
{
  TestPlug::Options o;
  o.nPresets = 3;
  TestPlug p(o);
  p.InitDoubles();
  p.MakeDefaultPreset("-", 1);
  p.GetParam(0)->Set(0.77);
  p.ModifyCurrentPreset("changed");
  EXPECT_STREQ(p.GetPresetName(0), "changed");
  double v;
  p.mPresets.Get(0)->mChunk.Get(&v, 0);
  EXPECT_EQ(v, 0.77);
  p.ModifyCurrentPreset("");
  EXPECT_STREQ(p.GetPresetName(0), "changed");
  const std::string longName(400, 'L');
  p.ModifyCurrentPreset(longName.c_str());
  EXPECT_EQ(std::strlen(p.GetPresetName(0)), static_cast<size_t>(MAX_PRESET_NAME_LEN - 1));

  p.PruneUninitializedPresets();
  EXPECT_EQ(p.NPresets(), 1);

  TestPlug e(o);
  e.InitDoubles();
  e.EnsureDefaultPreset();
  EXPECT_STREQ(e.GetPresetName(2), "Empty");
  EXPECT_TRUE(e.mPresets.Get(2)->mInitialized);
  e.PruneUninitializedPresets();
  EXPECT_EQ(e.NPresets(), 3);
}

std::string ReadText(const std::string& path)
{
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

TEST(Dumps, SourceCodeAndBlob)
{
  TestPlug::Options o;
  o.nParams = 3;
  TestPlug p(o);
  p.GetParam(0)->InitDouble("d", 0.5, 0, 1, 0.01);
  p.GetParam(1)->InitInt("i", 4, 0, 10);
  p.GetParam(2)->InitBool("b", true);
  p.MakeDefaultPreset("dump", 1);
  const std::string dir = testing::TempDir();
  const char* names[] = {"kD", "kI", "kB"};
  ASSERT_TRUE(p.DumpPresetSrcCode((dir + "src.txt").c_str(), names));
  EXPECT_EQ(ReadText(dir + "src.txt"),
            "  MakePresetFromNamedParams(\"name\", 3,\n    kD, 0.500000,\n    kI, 4,\n    kB, true);\n");

  ASSERT_TRUE(p.DumpPresetBlob((dir + "blob.txt").c_str()));
  ByteChunk c;
  p.SerializeState(&c);
  char b64[64];
  wdl_base64encode(c.GetBytes(), b64, c.Size());
  EXPECT_EQ(ReadText(dir + "blob.txt"), "MakePresetFromBlob(\"name\", \"" + std::string(b64) + "\", 24);\n");
  EXPECT_FALSE(p.DumpPresetBlob("/nonexistent-dir/x.txt"));
  std::remove((dir + "src.txt").c_str());
  std::remove((dir + "blob.txt").c_str());
}
}  // namespace
