#pragma once
// The editor as pictures: the headless snapshot tesk-render writes (its Audio Unit
// processor's editor after initialisation with the given settings) and how two pictures
// differ. Grabs of windows come from X11TestUser.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "lice.h"

namespace lv2_test
{
struct Box
{
  int l = 0, t = 0, r = 0, b = 0;  // r, b exclusive; empty when r <= l
  int CentreX() const { return (l + r) / 2; }
  int CentreY() const { return (t + b) / 2; }
  bool Empty() const { return r <= l || b <= t; }
};

// tesk-render's snapshot with the settings ("Name=value", as its --set takes them).
std::unique_ptr<LICE_IBitmap> TeskSnapshot(const std::filesystem::path& scratch,
                                           const std::vector<std::string>& settings);
// Pixels that differ (alpha ignored); -1 when the sizes differ.
int DifferingPixels(LICE_IBitmap* a, LICE_IBitmap* b);
// The box around the pixels that differ between two pictures of the same size.
Box DifferenceBox(LICE_IBitmap* a, LICE_IBitmap* b);
// Where the switch of a parameter is: the pixels that change when only it is switched on.
Box SwitchBox(const std::filesystem::path& scratch, const std::string& name);
// Written beside the test binary, for a person to look at.
void SavePicture(LICE_IBitmap* bitmap, const std::string& name);
}  // namespace lv2_test
