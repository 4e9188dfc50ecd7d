// Draws the editor's seven images with the raster layer and writes them as PNG
// files. The output depends on nothing but this code and the installed fonts, so
// every run gives the same files.
//
//   make_images OUTPUT_DIR [--preview PREVIEW.png] [--preview-alt PREVIEW.png]
//
// With --preview it also composes the images at their places in the editor, with
// made-up signal data in both displays, into one picture for a visual check;
// --preview-alt shows the other states (narrow inverted band, knob at minimum).

#include "images/artwork.h"
#include "images/preview.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

bool Write(const art::Canvas& c, const std::string& dir, const char* name)
{
  const std::string path = dir + "/" + name;
  if (!c.writePng(path))
  {
    std::fprintf(stderr, "make_images: cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s (%d x %d)\n", path.c_str(), c.width(), c.height());
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  const char* previews[2] = {nullptr, nullptr};
  bool usage = argc < 2 || argv[1][0] == '-';
  for (int i = 2; i < argc && !usage; i += 2)
  {
    const int which = std::strcmp(argv[i], "--preview") == 0 ? 0 : std::strcmp(argv[i], "--preview-alt") == 0 ? 1 : -1;
    if (which < 0 || i + 1 >= argc)
      usage = true;
    else
      previews[which] = argv[i + 1];
  }
  if (usage)
  {
    std::fprintf(stderr, "usage: make_images OUTPUT_DIR [--preview PREVIEW.png] [--preview-alt PREVIEW.png]\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = Write(art::PaintBackground(), dir, "background.png");
  ok = Write(art::PaintTitle(), dir, "TESK.png") && ok;
  ok = Write(art::PaintKnobStrip(), dir, "knob.png") && ok;
  ok = Write(art::PaintFaderHandle(), dir, "faderhandle.png") && ok;
  ok = Write(art::PaintSwitch(true), dir, "buttonOn.png") && ok;
  ok = Write(art::PaintSwitch(false), dir, "buttonOff.png") && ok;
  ok = Write(art::PaintBandHandle(), dir, "smallhandles.png") && ok;
  for (int v = 0; v < 2; ++v)
    if (ok && previews[v]) ok = art::WritePreview(dir, previews[v], v);
  return ok ? 0 : 1;
}
