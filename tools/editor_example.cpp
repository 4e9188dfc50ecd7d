// Draws a small editor through the headless graphics host and writes it as a PNG:
// a panel background, a bitmap, a film-strip knob, a fader, a caption that shows
// the knob's value and a title.
//
//   editor_example [output.png]

#include <cstdio>

#include "IControls.h"
#include "IGraphicsHeadless.h"
#include "IPlugHostless.h"
#include "lice.h"

namespace
{
enum EParams
{
  kGain = 0,
  kMix,
  kNumParams
};

// The least a plug-in must be to own an editor.
class ExamplePlug final : public IPlugHostless
{
public:
  ExamplePlug()
    : IPlugHostless(kNumParams, "2-2", 1, "Example", "Example", "Example", 0x10000, 0x45786d70, 0x45786d70, 0, false,
                    false, false, kAPISA)
  {
    GetParam(kGain)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
    GetParam(kMix)->InitDouble("Mix", 70.0, 0.0, 100.0, 1.0, "%");
  }
};

// Artwork drawn at start-up with the raster layer and handed to the bitmap cache.
IBitmap MakeImage(IGraphics* pGraphics, int w, int h, void (*paint)(LICE_IBitmap*))
{
  LICE_MemBitmap* bmp = new LICE_MemBitmap(w, h, 4);
  LICE_Clear(bmp, 0);
  paint(bmp);
  IBitmap image(bmp, w, h);
  pGraphics->RetainBitmap(&image);  // the cache owns it from now on
  return image;
}

void PaintHandle(LICE_IBitmap* bmp)
{
  LICE_FillRect(bmp, 0, 0, 22, 12, IColor(255, 230, 180, 60).ToPixel());
  LICE_Line(bmp, 3, 6, 18, 6, IColor(255, 60, 40, 10).ToPixel(), 1.0f, 0, false);
}

void PaintBadge(LICE_IBitmap* bmp)
{
  LICE_FillCircle(bmp, 11.0f, 11.0f, 10.0f, IColor(255, 90, 160, 220).ToPixel(), 1.0f, 0, true);
  LICE_FillTriangle(bmp, 6, 15, 16, 15, 11, 5, IColor(255, 250, 250, 250).ToPixel());
}
}  // namespace

int main(int argc, char** argv)
{
  const char* out = argc > 1 ? argv[1] : "editor_example.png";
  ExamplePlug plug;
  IGraphicsHeadless* pGraphics = new IGraphicsHeadless(&plug, 200, 140, 0);
  const IColor panel(255, 58, 64, 78), track(255, 25, 27, 32);
  pGraphics->AttachPanelBackground(&panel);
  plug.AttachGraphics(pGraphics);

  IBitmap badge = MakeImage(pGraphics, 22, 22, PaintBadge);
  pGraphics->AttachControl(new IBitmapControl(&plug, 10, 4, -1, &badge, IChannelBlend::kBlendNone));

  IBitmap dial = pGraphics->LoadIBitmap(1, "resources/img/dial.png", 3);
  pGraphics->AttachControl(new IKnobMultiControl(&plug, 40, 44, kGain, &dial));

  pGraphics->AttachControl(new IPanelControl(&plug, IRECT(160, 34, 164, 130), &track));
  IBitmap handle = MakeImage(pGraphics, 22, 12, PaintHandle);
  pGraphics->AttachControl(new IFaderControl(&plug, 151, 30, 104, kMix, &handle));

  const IColor white = COLOR_WHITE, light(255, 200, 205, 215);
  IText title(14, &white, nullptr, IText::kStyleBold);
  pGraphics->AttachControl(new ITextControl(&plug, IRECT(30, 6, 200, 24), &title, "Tesk example"));
  IText small(10, &light);
  pGraphics->AttachControl(new ICaptionControl(&plug, IRECT(10, 84, 110, 98), kGain, &small, true));

  // Values arrive from the plug-in side as a host would set them; the first one a
  // control sees is its default, so each is set twice.
  for (int i = 0; i < 2; ++i)
  {
    plug.GetParam(kGain)->Set(12.0);
    plug.GetParam(kMix)->Set(70.0);
    plug.RedrawParamControls();
  }

  if (!pGraphics->DrawAll() || !pGraphics->WriteSnapshotPNG(out))
  {
    std::fprintf(stderr, "editor_example: could not write %s\n", out);
    return 1;
  }
  std::printf("wrote %s\n", out);
  return 0;
}
