#pragma once
// A plug-in with a headless editor for the stock controls' tests, and bitmaps whose
// frames are filled with distinct colours so a test can tell which frame was drawn.

#include <memory>
#include <string>
#include <vector>

#include "IControls.h"
#include "IGraphicsHeadless.h"
#include "IParam.h"
#include "IPlugHostless.h"
#include "lice.h"

// Records every value the editor pushes and the host gestures it opens and closes.
class ControlsTestPlug final : public IPlugHostless
{
public:
  explicit ControlsTestPlug(int nParams = 4)
    : IPlugHostless(nParams, "1-1 2-2", 1, "Test", "Test", "Test", 0x10000, 0x54657374, 0x54657374, 0, false, false,
                    false, kAPIAU)
  {
    for (int i = 0; i < nParams; ++i) GetParam(i)->InitDouble("Param", 0.0, 0.0, 1.0, 0.01);
  }

  void SetParameterFromGUI(int idx, double normalizedValue) override
  {
    pushes.push_back(normalizedValue);
    IPlugBase::SetParameterFromGUI(idx, normalizedValue);
  }
  void BeginInformHostOfParamChange(int idx) override { log.push_back("begin " + std::to_string(idx)); }
  void EndInformHostOfParamChange(int idx) override { log.push_back("end " + std::to_string(idx)); }

  std::vector<double> pushes;
  std::vector<std::string> log;
};

// The plug-in with a headless editor attached (drawing surface ready, all black).
struct ControlsEditor
{
  explicit ControlsEditor(int w = 200, int h = 200, int nParams = 4)
    : plug(nParams)
  {
    gfx = new IGraphicsHeadless(&plug, w, h, 0);
    plug.AttachGraphics(gfx);
  }

  template <class C>
  C* Attach(C* pControl)
  {
    gfx->AttachControl(pControl);
    return pControl;
  }

  unsigned Pixel(int x, int y) { return gfx->GetPoint(x, y).ToPixel(); }

  void Press(int x, int y, IMouseMod mod = IMouseMod(true)) { gfx->OnMouseDown(x, y, &mod); }
  void Release(int x, int y, IMouseMod mod = IMouseMod(true)) { gfx->OnMouseUp(x, y, &mod); }
  void Drag(int x, int y, IMouseMod mod = IMouseMod(true)) { gfx->OnMouseDrag(x, y, &mod); }
  void DblClick(int x, int y, IMouseMod mod = IMouseMod(true)) { gfx->OnMouseDblClick(x, y, &mod); }

  ControlsTestPlug plug;
  IGraphicsHeadless* gfx;  // owned by the plug-in
};

// Opaque colours, one per frame, all distinct from the black surface.
inline IColor FrameColor(int frame) { return IColor(255, 40 * frame, 255 - 30 * frame, 7 * frame); }

// A bitmap of n frames stacked vertically (or horizontally), each of w x h pixels
// filled with FrameColor(frame).
struct FramesBitmap
{
  FramesBitmap(int w, int h, int n, bool horizontal = false)
    : bits(std::make_unique<LICE_MemBitmap>(horizontal ? w * n : w, horizontal ? h : h * n, 4)),
      bitmap(bits.get(), bits->getWidth(), bits->getHeight(), n, horizontal)
  {
    for (int f = 0; f < n; ++f)
    {
      const int x = horizontal ? f * w : 0, y = horizontal ? 0 : f * h;
      LICE_FillRect(bits.get(), x, y, w, h, FrameColor(f + 1).ToPixel(), 1.0f, LICE_BLIT_MODE_COPY);
    }
  }

  std::unique_ptr<LICE_MemBitmap> bits;
  IBitmap bitmap;
};
