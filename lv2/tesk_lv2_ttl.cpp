// Writes the Turtle files of Tesk's LV2 bundle from the parameter table, the plug-in's
// identity and the binding's port layout, so the description cannot drift from the
// code: manifest.ttl (what the bundle holds), tesk.ttl (both plug-ins' ports, the stereo
// one's port groups and features, the UI) and presets.ttl (the factory preset "-").
//
// Usage: tesk_lv2_ttl OUTPUT_FOLDER

#include <cstdio>
#include <string>

#include "Tesk.h"
#include "TeskIdentity.h"
#include "TeskLV2Seed.h"
#include "TeskLV2URIs.h"
#include "TeskParams.h"
#include "lv2_binding/IPlugLV2Ports.h"

namespace
{
const char* const kPrefixes = "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix pg:    <http://lv2plug.in/ns/ext/port-groups#> .\n"
                              "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A Turtle decimal (always with a point, so it reads as a decimal and not an integer).
std::string Decimal(double v)
{
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%.6f", v);
  std::string s = buf;
  while (s.size() > 1 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s;
}

const tesk::ParamRow& Row(int index)
{
  for (const tesk::ParamRow& r : tesk::kParamRows)
    if (r.index == index) return r;
  std::fprintf(stderr, "tesk_lv2_ttl: parameter %d is missing from the table\n", index);
  std::exit(1);
}

std::string Uri(const char* uri) { return std::string("<") + uri + ">"; }

std::string ControlPort(const IPlugLV2PortLayout& ports, int idx)
{
  const tesk::ParamRow& r = Row(idx);
  std::string s = "    [\n        a lv2:InputPort , lv2:ControlPort ;\n";
  s += "        lv2:index " + std::to_string(ports.Control(idx)) + " ;\n";
  s += "        lv2:symbol \"" + IPlugLV2Symbol(r.name) + "\" ;\n";
  s += "        lv2:name \"" + std::string(r.name) + "\" ;\n";
  s += "        lv2:default " + Decimal(r.defaultValue) + " ;\n";
  s += "        lv2:minimum " + Decimal(tesk::kParamMin) + " ;\n";
  s += "        lv2:maximum " + Decimal(tesk::kParamMax);
  // The parameters are plain 0..1 values: none has a unit to declare.
  if (r.isSwitch) s += " ;\n        lv2:portProperty lv2:toggled";
  return s + "\n    ]";
}

std::string LatencyPort(const IPlugLV2PortLayout& ports)
{
  return "    [\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index " + std::to_string(ports.Latency()) +
         " ;\n        lv2:symbol \"latency\" ;\n        lv2:name \"Latency\" ;\n"
         "        lv2:designation lv2:latency ;\n"
         "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
         "        lv2:minimum 0 ;\n        lv2:maximum " +
         std::to_string(Tesk::kLatencySamples) + " ;\n        units:unit units:frame\n    ]";
}

// The stereo variant's audio ports form one input and one output group, left and right,
// so that hosts which map plug-ins onto interleaved stereo streams see it as one stereo
// effect rather than two unrelated channels.
struct PortGroup
{
  const char* uri;
  const char* type;  // pg:InputGroup or pg:OutputGroup
  const char* symbol;
  const char* label;
};
// Their URIs, like every URI of the bundle, never change.
const PortGroup kStereoIn{"urn:orvanta:tesk#in", "pg:InputGroup", "in", "Input"};
const PortGroup kStereoOut{"urn:orvanta:tesk#out", "pg:OutputGroup", "out", "Output"};

std::string AudioPort(int index, bool input, int ch, int nChannels)
{
  const bool stereo = nChannels == 2;
  const char* side = stereo ? (ch == 0 ? " L" : " R") : "";
  const char* sym = stereo ? (ch == 0 ? "_l" : "_r") : "";
  std::string s = std::string("    [\n        a lv2:") + (input ? "InputPort" : "OutputPort") +
                  " , lv2:AudioPort ;\n        lv2:index " + std::to_string(index) + " ;\n        lv2:symbol \"" +
                  (input ? "in" : "out") + sym + "\" ;\n        lv2:name \"" + (input ? "In" : "Out") + side + "\"";
  if (stereo)
    s += std::string(" ;\n        pg:group ") + Uri((input ? kStereoIn : kStereoOut).uri) +
         " ;\n        lv2:designation " + (ch == 0 ? "pg:left" : "pg:right");
  return s + "\n    ]";
}

std::string Group(const PortGroup& g)
{
  return Uri(g.uri) + "\n    a " + g.type + " , pg:StereoGroup ;\n    lv2:symbol \"" + g.symbol +
         "\" ;\n    rdfs:label \"" + g.label + "\" .\n\n";
}

std::string Plugin(const TeskLV2Variant& v)
{
  const IPlugLV2PortLayout ports{tesk::kNumParams, v.nIn, v.nOut};
  std::string s = Uri(v.uri) + "\n    a lv2:Plugin , lv2:SpectralPlugin ;\n";
  s += "    doap:name \"" + std::string(v.name) + "\" ;\n";
  s += "    lv2:project " + Uri(kTeskLV2ProjectURI) + " ;\n";
  s += "    lv2:minorVersion " + std::to_string((kTeskVendorVersion >> 8) & 0xFF) + " ;\n";
  s += "    lv2:microVersion " + std::to_string(kTeskVendorVersion & 0xFF) + " ;\n";
  s += "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n";
  s += "    lv2:extensionData state:interface , " + Uri(kTeskLV2SeedURI) + " ;\n";
  s += "    ui:ui " + Uri(kTeskLV2UIURI) + " ;\n";
  if (v.nIn == 2 && v.nOut == 2)
    s += "    pg:mainInput " + Uri(kStereoIn.uri) + " ;\n    pg:mainOutput " + Uri(kStereoOut.uri) + " ;\n";
  s += "    lv2:port\n";
  for (int i = 0; i < tesk::kNumParams; ++i) s += ControlPort(ports, i) + " ,\n";
  s += LatencyPort(ports);
  for (int c = 0; c < v.nIn; ++c) s += " ,\n" + AudioPort(ports.AudioIn(c), true, c, v.nIn);
  for (int c = 0; c < v.nOut; ++c) s += " ,\n" + AudioPort(ports.AudioOut(c), false, c, v.nOut);
  return s + " .\n\n";
}

// The project both plug-ins belong to, with its maker.
std::string Project()
{
  return Uri(kTeskLV2ProjectURI) + "\n    a doap:Project ;\n    doap:name \"" + kTeskEffectName +
         "\" ;\n    doap:maintainer [ a foaf:Organization ; foaf:name \"" + kTeskMfrName + "\" ] .\n\n";
}

// The plug-ins' own extension (TeskLV2Seed.h).
std::string SeedExtension()
{
  return Uri(kTeskLV2SeedURI) +
         "\n    a lv2:ExtensionData ;\n    rdfs:label \"seed\" ;\n"
         "    rdfs:comment \"The seed of the Sensitivity measure's random draws, for repeatable output.\" .\n\n";
}

std::string UI()
{
  return Uri(kTeskLV2UIURI) + "\n    a ui:X11UI ;\n"
                              "    lv2:requiredFeature ui:idleInterface ;\n"
                              "    lv2:optionalFeature ui:parent , ui:resize , ui:noUserResize , ui:touch ,\n"
                              "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
                              "    lv2:extensionData ui:idleInterface .\n";
}

std::string AppliesToAll()
{
  std::string s;
  for (const TeskLV2Variant& v : kTeskLV2Variants) s += (s.empty() ? "" : " , ") + Uri(v.uri);
  return s;
}

std::string Manifest()
{
  std::string s = kPrefixes;
  for (const TeskLV2Variant& v : kTeskLV2Variants)
    s +=
      Uri(v.uri) + "\n    a lv2:Plugin ;\n    lv2:binary <" + kTeskLV2Binary + "> ;\n    rdfs:seeAlso <tesk.ttl> .\n\n";
  s += Uri(kTeskLV2UIURI) + "\n    a ui:X11UI ;\n    ui:binary <" + kTeskLV2UIBinary +
       "> ;\n    rdfs:seeAlso <tesk.ttl> .\n\n";
  s += Uri(kTeskLV2PresetURI) + "\n    a pset:Preset ;\n    lv2:appliesTo " + AppliesToAll() +
       " ;\n    rdfs:seeAlso <presets.ttl> .\n";
  return s;
}

std::string Description()
{
  std::string s = kPrefixes;
  s += Project();
  s += SeedExtension();
  s += Group(kStereoIn) + Group(kStereoOut);
  for (const TeskLV2Variant& v : kTeskLV2Variants) s += Plugin(v);
  return s + UI();
}

std::string Presets()
{
  std::string s = kPrefixes + Uri(kTeskLV2PresetURI) + "\n    a pset:Preset ;\n    lv2:appliesTo " + AppliesToAll() +
                  " ;\n    rdfs:label \"" + kTeskDefaultPresetName + "\" ;\n    lv2:port\n";
  for (int i = 0; i < tesk::kNumParams; ++i)
  {
    const tesk::ParamRow& r = Row(i);
    s += std::string(i ? " ,\n" : "") + "        [ lv2:symbol \"" + IPlugLV2Symbol(r.name) + "\" ; pset:value " +
         Decimal(r.defaultValue) + " ]";
  }
  return s + " .\n";
}

bool Write(const std::string& folder, const char* name, const std::string& text)
{
  const std::string path = folder + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return std::fprintf(stderr, "tesk_lv2_ttl: cannot write %s\n", path.c_str()), false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv)
{
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: tesk_lv2_ttl OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  return Write(folder, "manifest.ttl", Manifest()) && Write(folder, "tesk.ttl", Description()) &&
             Write(folder, "presets.ttl", Presets())
           ? 0
           : 1;
}
