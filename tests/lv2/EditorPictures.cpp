// The editor's pictures (see EditorPictures.h).

#include "EditorPictures.h"

#include "HostProgram.h"
#include "Lv2TestSupport.h"
#include "lice_png.h"

namespace lv2_test
{
std::unique_ptr<LICE_IBitmap> TeskSnapshot(const std::filesystem::path& scratch,
                                           const std::vector<std::string>& settings)
{
  const std::filesystem::path png = scratch / "snapshot.png";
  std::vector<std::string> args = {kTeskRender, "--snapshot", png.string(), "--list-params"};
  for (const std::string& s : settings) args.insert(args.end(), {"--set", s});
  const ProgramResult r = RunHostProgram(args, {}, scratch);
  if (r.exitCode != 0) return nullptr;
  std::unique_ptr<LICE_IBitmap> bitmap(LICE_LoadPNG(png.c_str()));
  std::filesystem::remove(png);
  return bitmap;
}

int DifferingPixels(LICE_IBitmap* a, LICE_IBitmap* b)
{
  if (!a || !b || a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight()) return -1;
  int n = 0;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if ((a->getBits()[y * a->getRowSpan() + x] ^ b->getBits()[y * b->getRowSpan() + x]) & 0x00FFFFFFu) ++n;
  return n;
}

Box DifferenceBox(LICE_IBitmap* a, LICE_IBitmap* b)
{
  Box box{1 << 30, 1 << 30, -1, -1};
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if ((a->getBits()[y * a->getRowSpan() + x] ^ b->getBits()[y * b->getRowSpan() + x]) & 0x00FFFFFFu)
        box = {std::min(box.l, x), std::min(box.t, y), std::max(box.r, x + 1), std::max(box.b, y + 1)};
  return box.r < 0 ? Box{} : box;
}

Box SwitchBox(const std::filesystem::path& scratch, const std::string& name)
{
  auto off = TeskSnapshot(scratch, {});
  auto on = TeskSnapshot(scratch, {name + "=1"});
  if (!off || !on) return {};
  return DifferenceBox(off.get(), on.get());
}

void SavePicture(LICE_IBitmap* bitmap, const std::string& name)
{
  const std::filesystem::path dir = TESK_LV2_SHOTS_DIR;
  std::filesystem::create_directories(dir);
  if (bitmap) LICE_WritePNG((dir / name).c_str(), bitmap, false);
}
}  // namespace lv2_test
