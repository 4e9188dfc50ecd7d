// The tesk.lv2 bundle as LV2 tools see it: lv2ls and lv2info find both plug-ins with the
// ports the parameter table describes, serdi and sord_validate accept the generated
// Turtle, the plug-in's library links no X11 and each library exports only its entry,
// and `cmake --install` puts the bundle where LV2_PATH says.

#include <cmath>
#include <regex>
#include <set>
#include <sstream>

#include "Lv2TestSupport.h"
#include "TeskLV2Seed.h"
#include "TeskParams.h"

using namespace lv2_test;

namespace
{
struct ListedPort
{
  std::string types, symbol, name, properties, designation;
  double min = NAN, max = NAN, def = NAN;
};

// lv2info's "Port N:" blocks, by index.
std::map<int, ListedPort> ParsePorts(const std::string& info)
{
  std::map<int, ListedPort> ports;
  std::istringstream in(info);
  ListedPort* cur = nullptr;
  std::string last;  // the field a continuation line belongs to
  const std::regex portLine(R"(^\s*Port (\d+):\s*$)"), field(R"(^\s*(\w[\w ]*?):(?!//)\s*(.*)$)");
  for (std::string line; std::getline(in, line);)
  {
    std::smatch m;
    if (std::regex_match(line, m, portLine))
    {
      cur = &ports[std::stoi(m[1])];
      continue;
    }
    if (!cur || line.find_first_not_of(" \t") == std::string::npos) continue;
    std::string key, value;
    if (std::regex_match(line, m, field))
      key = m[1], value = m[2], last = key;
    else
      key = last, value = line;
    if (key == "Type") cur->types += value + " ";
    if (key == "Symbol") cur->symbol = value;
    if (key == "Name") cur->name = value;
    if (key == "Minimum") cur->min = std::stod(value);
    if (key == "Maximum") cur->max = std::stod(value);
    if (key == "Default") cur->def = std::stod(value);
    if (key == "Properties") cur->properties += value + " ";
    if (key == "Designation") cur->designation += value + " ";
  }
  return ports;
}

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

const tesk::ParamRow& Row(int index)
{
  for (const tesk::ParamRow& r : tesk::kParamRows)
    if (r.index == index) return r;
  throw std::out_of_range("no parameter");
}

class BundleTest : public ::testing::Test
{
protected:
  ScratchFolder mScratch;
};
}  // namespace

TEST_F(BundleTest, Lv2lsListsBothPlugins)
{
  LV2_REQUIRE_PROGRAM("lv2ls", "lilv-utils");
  const ProgramResult r = RunHostProgram({"lv2ls"}, HostEnvironment(mScratch.Path()), mScratch.Path());
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, std::string(kTeskLV2URI) + "\n" + kTeskLV2MonoURI + "\n");
}

class Lv2info : public BundleTest, public ::testing::WithParamInterface<TeskLV2Variant>
{
};

TEST_P(Lv2info, ShowsEveryPortFromTheParameterTable)
{
  LV2_REQUIRE_PROGRAM("lv2info", "lilv-utils");
  const TeskLV2Variant& v = GetParam();
  const ProgramResult r = RunHostProgram({"lv2info", v.uri}, HostEnvironment(mScratch.Path()), mScratch.Path());
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Has(r.output, std::string("Name:              ") + v.name)) << r.output;
  EXPECT_TRUE(Has(r.output, "Has latency:       yes, reported by port 13")) << r.output;
  EXPECT_TRUE(Has(r.output, "http://lv2plug.in/ns/lv2core#hardRTCapable")) << r.output;
  EXPECT_TRUE(Has(r.output, "http://lv2plug.in/ns/ext/state#interface")) << r.output;
  EXPECT_TRUE(Has(r.output, kTeskLV2SeedURI)) << r.output;
  EXPECT_TRUE(Has(r.output, kTeskLV2UIURI)) << r.output;
  EXPECT_TRUE(std::regex_search(r.output, std::regex(R"(Presets:\s*\n\s*-\n)"))) << r.output;
  // Nothing is required of a host: every feature the plug-in uses is optional.
  EXPECT_FALSE(Has(r.output, "Required Features")) << r.output;

  const std::map<int, ListedPort> ports = ParsePorts(r.output);
  ASSERT_EQ(static_cast<int>(ports.size()), tesk::kNumParams + 1 + v.nIn + v.nOut) << r.output;
  std::set<std::string> symbols;
  for (int i = 0; i < tesk::kNumParams; ++i)
  {
    SCOPED_TRACE(Row(i).name);
    const ListedPort& p = ports.at(i);
    EXPECT_TRUE(Has(p.types, "InputPort") && Has(p.types, "ControlPort")) << p.types;
    EXPECT_EQ(p.name, Row(i).name);
    EXPECT_TRUE(std::regex_match(p.symbol, std::regex("[a-z_][a-z0-9_]*"))) << p.symbol;
    symbols.insert(p.symbol);
    EXPECT_EQ(p.min, tesk::kParamMin);
    EXPECT_EQ(p.max, tesk::kParamMax);
    EXPECT_EQ(p.def, Row(i).defaultValue);
    EXPECT_EQ(Has(p.properties, "lv2core#toggled"), Row(i).isSwitch) << p.properties;
    // Bypass is an ordinary switch: it must not become the host's own bypass.
    EXPECT_FALSE(Has(p.designation, "enabled")) << p.designation;
  }
  EXPECT_EQ(static_cast<int>(symbols.size()), tesk::kNumParams) << "symbols must be unique";
  EXPECT_EQ(ports.at(tesk::kModeA).symbol, "mode_a");
  EXPECT_EQ(ports.at(tesk::kReductionAmount).symbol, "reduction_amount");

  const ListedPort& latency = ports.at(tesk::kNumParams);
  EXPECT_TRUE(Has(latency.types, "OutputPort") && Has(latency.types, "ControlPort")) << latency.types;
  EXPECT_TRUE(Has(latency.properties, "reportsLatency")) << latency.properties;
  EXPECT_TRUE(Has(latency.designation, "lv2core#latency")) << latency.designation;
  for (int c = 0; c < v.nIn + v.nOut; ++c)
  {
    const ListedPort& p = ports.at(tesk::kNumParams + 1 + c);
    EXPECT_TRUE(Has(p.types, "AudioPort")) << p.types;
    EXPECT_TRUE(Has(p.types, c < v.nIn ? "InputPort" : "OutputPort")) << p.types;
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, Lv2info, ::testing::ValuesIn(kTeskLV2Variants),
                         [](const auto& info) { return std::string(info.param.nIn == 2 ? "Stereo" : "Mono"); });

TEST_F(BundleTest, SerdiAndSordValidateAcceptTheTurtle)
{
  LV2_REQUIRE_PROGRAM("serdi", "serdi");
  LV2_REQUIRE_PROGRAM("sord_validate", "sordi");
  const std::vector<std::string> files = {"manifest.ttl", "tesk.ttl", "presets.ttl"};
  for (const std::string& f : files)
  {
    const std::string uri = "file://" + (kBundle / f).string();
    const ProgramResult r = RunHostProgram({"serdi", "-i", "turtle", "-o", "ntriples", uri}, {}, mScratch.Path());
    EXPECT_EQ(r.exitCode, 0) << f << "\n" << r.output;
    EXPECT_FALSE(Has(r.output, "error")) << f << "\n" << r.output;
  }
  // The LV2 vocabularies first: lv2-dev's bundles typed lv2:Specification, and the schemas.
  std::vector<std::string> args = {"sord_validate"};
  const std::filesystem::path lv2dir = "/usr/lib/lv2";
  for (const auto& bundle : std::filesystem::directory_iterator(lv2dir))
  {
    const std::string manifest = (bundle.path() / "manifest.ttl").string();
    const std::vector<std::uint8_t> text = ReadBytes(manifest);
    const bool vocabulary = Has(std::string(text.begin(), text.end()), "Specification");
    if (!vocabulary && bundle.path().filename() != "schemas.lv2") continue;
    for (const auto& f : std::filesystem::directory_iterator(bundle.path()))
      if (f.path().extension() == ".ttl") args.push_back(f.path().string());
  }
  ASSERT_GT(args.size(), 20u) << "the LV2 schema is missing (Debian package lv2-dev)";
  for (const std::string& f : files) args.push_back((kBundle / f).string());
  const ProgramResult r = RunHostProgram(args, {}, mScratch.Path());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(Has(r.output, "Found 0 errors")) << r.output;
}

TEST_F(BundleTest, PluginLibraryLinksNoX11AndEachLibraryExportsOnlyItsEntry)
{
  LV2_REQUIRE_PROGRAM("readelf", "binutils");
  LV2_REQUIRE_PROGRAM("nm", "binutils");
  const std::string dsp = (kBundle / kTeskLV2Binary).string(), ui = (kBundle / kTeskLV2UIBinary).string();

  const ProgramResult needed = RunHostProgram({"readelf", "-d", dsp}, {}, mScratch.Path());
  ASSERT_EQ(needed.exitCode, 0) << needed.output;
  EXPECT_TRUE(Has(needed.output, "libc.so")) << needed.output;
  EXPECT_FALSE(Has(needed.output, "libX")) << needed.output;
  const ProgramResult undefined = RunHostProgram({"nm", "-D", "--undefined-only", dsp}, {}, mScratch.Path());
  ASSERT_EQ(undefined.exitCode, 0) << undefined.output;
  EXPECT_FALSE(std::regex_search(undefined.output, std::regex(R"(\bX[A-Z]\w+)"))) << undefined.output;
  // The UI's library is where X11 is.
  const ProgramResult uiNeeded = RunHostProgram({"readelf", "-d", ui}, {}, mScratch.Path());
  EXPECT_TRUE(Has(uiNeeded.output, "libX11.so")) << uiNeeded.output;

  for (const auto& [library, entry] : {std::pair{dsp, "lv2_descriptor"}, std::pair{ui, "lv2ui_descriptor"}})
  {
    const ProgramResult defined = RunHostProgram({"nm", "-D", "--defined-only", library}, {}, mScratch.Path());
    ASSERT_EQ(defined.exitCode, 0) << defined.output;
    std::istringstream lines(defined.output);
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);)
      if (!line.empty()) names.push_back(line.substr(line.rfind(' ') + 1));
    EXPECT_EQ(names, std::vector<std::string>{entry}) << library;
  }
}

TEST_F(BundleTest, InstallPutsTheBundleInTheFirstFolderOfLv2Path)
{
  LV2_REQUIRE_PROGRAM("lv2ls", "lilv-utils");
  const std::filesystem::path target = mScratch / "installed";
  std::vector<std::string> env = HostEnvironment(mScratch.Path());
  env.push_back("LV2_PATH=" + target.string() + ":" + (mScratch / "elsewhere").string());
  const ProgramResult install =
    RunHostProgram({CMAKE_COMMAND, "--install", TESK_BUILD_FOLDER, "--component", "lv2"}, env, mScratch.Path());
  ASSERT_EQ(install.exitCode, 0) << install.output;
  for (const char* f : {"manifest.ttl", "tesk.ttl", "presets.ttl", kTeskLV2Binary, kTeskLV2UIBinary})
    EXPECT_TRUE(std::filesystem::is_regular_file(target / kTeskLV2BundleName / f)) << f;
  EXPECT_FALSE(std::filesystem::exists(mScratch / "elsewhere"));

  const ProgramResult listed = RunHostProgram({"lv2ls"}, env, mScratch.Path());
  EXPECT_EQ(listed.output, std::string(kTeskLV2URI) + "\n" + kTeskLV2MonoURI + "\n");
}
