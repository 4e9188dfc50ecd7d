// Settings through tesk-render: parameters, program files, state files and the seed.

#include "RenderTestSupport.h"

#include <sndfile.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace render_test
{
namespace
{
constexpr long long kFrames = 24000;

std::vector<unsigned char> Bytes(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The value --list-params shows for a parameter.
std::string ListedValue(const std::string& listing, const std::string& name)
{
  const size_t at = listing.find(" " + name + " ");
  if (at == std::string::npos) return "?";
  const size_t end = listing.find('\n', at);
  const std::string line = listing.substr(at, end - at);
  return line.substr(line.find_last_of(' ') + 1);
}

class RenderSettingsTest : public RenderTest
{
protected:
  void SetUp() override
  {
    RenderTest::SetUp();
    WriteAudio(Path("in.wav"), 2, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT, MusicLike);
  }

  Audio Render(const std::string& out, std::vector<std::string> settings)
  {
    std::vector<std::string> args = {"-q", "in.wav", out};
    args.insert(args.end(), settings.begin(), settings.end());
    const RunResult r = Run(args);
    EXPECT_EQ(r.mExitCode, 0) << r.mErr;
    return ReadAudio(Path(out));
  }
};

void PutBE32(std::vector<unsigned char>* out, std::uint32_t v)
{
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<unsigned char>(v >> shift));
}

void PutText(std::vector<unsigned char>* out, const std::string& text, size_t width)
{
  std::string field = text;
  field.resize(width, '\0');
  out->insert(out->end(), field.begin(), field.end());
}

// A one-program bank in the parameter form, as a host or another plug-in copy writes it.
std::vector<unsigned char> OneProgramBank(const std::vector<float>& values)
{
  std::vector<unsigned char> b;
  PutText(&b, "CcnK", 4);
  PutBE32(&b, 0);
  PutText(&b, "FxBk", 4);
  PutBE32(&b, 2);
  PutText(&b, "Tesk", 4);
  PutBE32(&b, 10000);
  PutBE32(&b, 1);  // programs
  PutBE32(&b, 0);  // current program
  PutText(&b, "", 124);
  PutText(&b, "CcnK", 4);
  PutBE32(&b, 0);
  PutText(&b, "FxCk", 4);
  PutBE32(&b, 1);
  PutText(&b, "Tesk", 4);
  PutBE32(&b, 10000);
  PutBE32(&b, static_cast<std::uint32_t>(values.size()));
  PutText(&b, "banked", 28);
  for (float v : values)
  {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof(bits));
    PutBE32(&b, bits);
  }
  return b;
}

const std::vector<std::string> kSettings = {"--set", "Pre=0.25", "--set",    "10=0.75", "--set",
                                            "inv=1", "--set",    "HIGH=0.5", "--set",   "Low=0.125"};
}  // namespace

TEST_F(RenderSettingsTest, ParametersAreFoundByNameOrIndexAndListed)
{
  const RunResult r = Run(
    {"--list-params", "--set", "Pre=0.25", "--set", "10=0.75", "--set", "mode-b=0.5", "--set", "reduction_amount=1"});
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  EXPECT_EQ(ListedValue(r.mOut, "Pre"), "0.25");
  EXPECT_EQ(ListedValue(r.mOut, "Mode A"), "0.75");
  EXPECT_EQ(ListedValue(r.mOut, "Mode B"), "0.5");
  EXPECT_EQ(ListedValue(r.mOut, "Amount"), "1");
  EXPECT_EQ(ListedValue(r.mOut, "High"), "1");  // untouched: its default
  EXPECT_EQ(FolderListing(mFolder), std::vector<std::string>{"in.wav"});
}

TEST_F(RenderSettingsTest, ProgramFileRoundTrip)
{
  const Audio direct = Render("direct.wav", [] {
    auto a = kSettings;
    a.insert(a.end(), {"--save-preset", "p.fxp"});
    return a;
  }());
  // A parameter-form program: 56-byte header and 13 big-endian floats.
  const std::vector<unsigned char> fxp = Bytes(Path("p.fxp"));
  ASSERT_EQ(fxp.size(), 108u);
  EXPECT_EQ(std::string(fxp.begin(), fxp.begin() + 4), "CcnK");
  EXPECT_EQ(std::string(fxp.begin() + 8, fxp.begin() + 12), "FxCk");

  const Audio loaded = Render("loaded.wav", {"--preset", "p.fxp"});
  EXPECT_EQ(direct.mSamples, loaded.mSamples);

  const RunResult listed = Run({"--list-params", "--preset", "p.fxp"});
  EXPECT_EQ(ListedValue(listed.mOut, "Pre"), "0.25");
  EXPECT_EQ(ListedValue(listed.mOut, "Inv"), "1");
  // A --set after the preset wins over it.
  const RunResult overridden = Run({"--list-params", "--preset", "p.fxp", "--set", "Pre=0.5"});
  EXPECT_EQ(ListedValue(overridden.mOut, "Pre"), "0.5");
}

TEST_F(RenderSettingsTest, BankFileSetsTheParameters)
{
  std::vector<float> values(13, 0.0f);
  values[3] = 1.0f;   // High
  values[6] = 0.25f;  // Pre
  values[11] = 0.5f;  // Mode B
  const std::vector<unsigned char> bank = OneProgramBank(values);
  std::ofstream(Path("b.fxb"), std::ios::binary)
    .write(reinterpret_cast<const char*>(bank.data()), static_cast<std::streamsize>(bank.size()));
  const RunResult r = Run({"--list-params", "--bank", "b.fxb"});
  ASSERT_EQ(r.mExitCode, 0) << r.mErr;
  EXPECT_EQ(ListedValue(r.mOut, "Pre"), "0.25");
  EXPECT_EQ(ListedValue(r.mOut, "Mode B"), "0.5");
  EXPECT_EQ(ListedValue(r.mOut, "High"), "1");
}

TEST_F(RenderSettingsTest, StateFileRoundTrip)
{
  const Audio direct = Render("direct.wav", [] {
    auto a = kSettings;
    a.insert(a.end(), {"--save-state", "s.state"});
    return a;
  }());
  EXPECT_EQ(Bytes(Path("s.state")).size(), 13u * 8u);  // one double per parameter

  const Audio restored = Render("restored.wav", {"--state", "s.state", "--save-state", "again.state"});
  EXPECT_EQ(direct.mSamples, restored.mSamples);
  EXPECT_EQ(Bytes(Path("s.state")), Bytes(Path("again.state")));

  const RunResult listed = Run({"--list-params", "--state", "s.state"});
  EXPECT_EQ(ListedValue(listed.mOut, "Mode A"), "0.75");
  EXPECT_EQ(ListedValue(listed.mOut, "Low"), "0.125");
}

TEST_F(RenderSettingsTest, SeedMakesNoisyRendersRepeatable)
{
  // With "Auto" on, the sensitivity measure's noise reaches the output.
  const std::vector<std::string> noisy = {"--set", "Sensitivity=0.8", "--set", "Auto=1",
                                          "--set", "Pre=0.7",         "--set", "Mode A=0.5"};
  auto withSeed = [&](const char* seed) {
    auto a = noisy;
    a.insert(a.end(), {"--seed", seed});
    return a;
  };
  const Audio first = Render("a.wav", withSeed("42"));
  const Audio second = Render("b.wav", withSeed("42"));
  const Audio other = Render("c.wav", withSeed("43"));
  EXPECT_EQ(first.mSamples, second.mSamples);
  EXPECT_NE(first.mSamples, other.mSamples);
}
}  // namespace render_test

namespace render_test
{
TEST_F(RenderSettingsTest, SnapshotWithoutRenderingShowsTheParameters)
{
  // Every parameter set explicitly to the value it has: the editor must look the
  // same as when the values are only the plug-in's own.
  const RunResult listed = Run({"--list-params"});
  ASSERT_EQ(listed.mExitCode, 0) << listed.mErr;
  std::vector<std::string> explicitly = {"-q", "--snapshot", "explicit.png"};
  std::istringstream lines(listed.mOut);
  std::string line;
  std::getline(lines, line);  // the heading
  int count = 0;
  while (std::getline(lines, line))
  {
    const std::string index = line.substr(0, 5), value = line.substr(line.find_last_of(' ') + 1);
    explicitly.insert(explicitly.end(), {"--set", std::to_string(std::stoi(index)) + "=" + value});
    ++count;
  }
  ASSERT_EQ(count, 13);
  ASSERT_EQ(Run(explicitly).mExitCode, 0);
  ASSERT_EQ(Run({"-q", "--snapshot", "defaults.png"}).mExitCode, 0);
  ASSERT_EQ(Run({"-q", "--list-params", "--snapshot", "listed.png"}).mExitCode, 0);
  const std::string expected = ReadBytes(Path("explicit.png"));
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(ReadBytes(Path("defaults.png")), expected);
  EXPECT_EQ(ReadBytes(Path("listed.png")), expected);

  // And the switches follow their parameters.
  ASSERT_EQ(Run({"-q", "--snapshot", "on.png", "--set", "Bypass=1"}).mExitCode, 0);
  EXPECT_NE(ReadBytes(Path("on.png")), expected);
}
}  // namespace render_test
