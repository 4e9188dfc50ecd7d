#pragma once
// Tesk's names in the LV2 world: the URIs of its plug-ins, UI, state and preset, the
// file names in the bundle and the variants the bundle offers. Read by the plug-in's
// library, the UI's and the generator of the bundle's Turtle files. These URIs are
// stored in hosts' sessions: they never change. Binding-free: the standard library only.

// The stereo plug-in (2 in, 2 out) and the mono one (1 in, 1 out).
inline constexpr const char* kTeskLV2URI = "urn:orvanta:tesk";
inline constexpr const char* kTeskLV2MonoURI = "urn:orvanta:tesk#mono";
// The project both belong to (its name and maker).
inline constexpr const char* kTeskLV2ProjectURI = "urn:orvanta:tesk#project";
// The editor, an X11 UI shared by both plug-ins.
inline constexpr const char* kTeskLV2UIURI = "urn:orvanta:tesk#ui";
// The key the state's bytes are saved under, the same for both plug-ins.
inline constexpr const char* kTeskLV2StateKey = "urn:orvanta:tesk#state";
// The factory preset "-" (the defaults), for both plug-ins. (jalv's console takes no
// "-" in a preset URI.)
inline constexpr const char* kTeskLV2PresetURI = "urn:orvanta:tesk#defaults";

inline constexpr const char* kTeskLV2BundleName = "tesk.lv2";
inline constexpr const char* kTeskLV2Binary = "tesk.so";
inline constexpr const char* kTeskLV2UIBinary = "tesk_ui.so";

struct TeskLV2Variant
{
  const char* uri;
  const char* name;
  int nIn, nOut;
};

// In the order lv2_descriptor hands them out.
inline constexpr TeskLV2Variant kTeskLV2Variants[] = {
  {kTeskLV2URI, "Tesk", 2, 2},
  {kTeskLV2MonoURI, "Tesk Mono", 1, 1},
};
inline constexpr int kTeskLV2NumVariants = 2;
