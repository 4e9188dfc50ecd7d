#pragma once
// Who Tesk is to a host, whatever the binding: names, codes, version, channel
// configurations and the bundle its editor images are looked up in.
// Binding-free: the standard library only.

inline constexpr const char* kTeskEffectName = "Tesk";
inline constexpr const char* kTeskProductName = "";
inline constexpr const char* kTeskMfrName = "Orvanta";
// 1.0.0, packed major << 16 | minor << 8 | bug-fix.
inline constexpr int kTeskVendorVersion = 0x00010000;
// Four-character code of both the subtype and the maker: 'T' 'e' 's' 'k'.
inline constexpr int kTeskFourCC = ('T' << 24) | ('e' << 16) | ('s' << 8) | 'k';
// Mono in, mono out; stereo in, stereo out.
inline constexpr const char* kTeskChannelIO = "1-1 2-2";
// One factory preset, holding the defaults.
inline constexpr int kTeskNumPresets = 1;
inline constexpr const char* kTeskDefaultPresetName = "-";
// The bundle the plug-in ships in; the editor's images are looked up through it.
inline constexpr const char* kTeskBundleID = "com.orvanta.audiounit.Tesk";
