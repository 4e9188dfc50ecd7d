#pragma once
// The controls as the product has them: a real Tesk, whose editor TeskEditor builds
// from the real images, driven through the paths a host and a user take.
// - A host sets a parameter through the setter's steps: the parameter's value under
//   the plug-in mutex, the graphics host's SetParameterFromPlug, then the
//   processor's own OnParamChange.
// - The mouse arrives through the graphics host's event functions.
// - What the plug-in tells its host is recorded as the host sees it: each
//   parameter-change notification, with the value the host then reads back.
// Pixels are compared with the real images drawn by the graphics host at the place
// the test expects, over the real background: a control that moves or changes
// image shows.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CompatHooks.h"
#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "IGraphicsHeadless.h"
#include "OnOff.h"
#include "SensKnob.h"
#include "Tesk.h"
#include "TeskEditor.h"
#include "Version.h"
#include "WaveformDisplay.h"

using namespace tesk;

// The editor's images, as the layout loads them (resource ID, file, frames).
struct EditorImage
{
  int id;
  const char* file;
  int frames;
};
inline constexpr EditorImage kBackgroundImage = {102, "resources/img/background.png", 1};
inline constexpr EditorImage kTitleImage = {117, "resources/img/TESK.png", 1};
inline constexpr EditorImage kKnobImage = {101, "resources/img/knob.png", 120};
inline constexpr EditorImage kFaderHandleImage = {114, "resources/img/faderhandle.png", 1};
inline constexpr EditorImage kButtonOnImage = {116, "resources/img/buttonOn.png", 2};
inline constexpr EditorImage kButtonOffImage = {115, "resources/img/buttonOff.png", 2};
inline constexpr EditorImage kBandHandleImage = {110, "resources/img/smallhandles.png", 1};

// The editor on the headless host, whether or not a display is there.
inline std::unique_ptr<Tesk> MakeHeadlessTesk()
{
  RequestHeadlessEditors(true);
  auto plug = std::make_unique<Tesk>(TeskInstanceInfo());
  plug->EnsureGUI();
  return plug;
}

struct EditorFixture
{
  EditorFixture()
    : tesk(MakeHeadlessTesk()),
      editor(dynamic_cast<TeskEditor&>(*tesk->GetEditorLink())),
      gfx(dynamic_cast<IGraphicsHeadless*>(tesk->GetGUI())),
      fft(editor.GetFFTDisplay()),
      wave(editor.GetWaveformDisplay()),
      faderPre(editor.GetFader(kPre)),
      faderModeA(editor.GetFader(kModeA)),
      faderModeB(editor.GetFader(kModeB)),
      switchAuto(editor.GetSwitch(kAuto)),
      switchBypass(editor.GetSwitch(kBypass)),
      switchInv(editor.GetSwitch(kInv)),
      lowHolder(editor.GetLowHolder()),
      highHolder(editor.GetHighHolder()),
      knob(Find<SensKnob>()),
      version(Find<Version>())
  {
    compat_AddAUEventSink(&Record, this);
  }
  ~EditorFixture() { compat_RemoveAUEventSink(&Record, this); }
  EditorFixture(const EditorFixture&) = delete;
  EditorFixture& operator=(const EditorFixture&) = delete;

  // ---- The host ----
  // The parameter setter's steps, in its order.
  void HostSets(int idx, double value)
  {
    WDL_MutexLock lock(tesk->GetMutex());
    tesk->GetParam(idx)->Set(value);
    gfx->SetParameterFromPlug(idx, value, false);
    tesk->OnParamChange(idx);
  }
  // The values the host read back after each change notification of one parameter.
  std::vector<double> PushesOf(int idx) const
  {
    std::vector<double> out;
    for (const Push& p : pushes)
      if (p.idx == idx) out.push_back(p.value);
    return out;
  }
  void ForgetCalls() { pushes.clear(); }
  // The engine's band edges, as the processor last set them.
  double BandLow() const { return tesk->GetEngine().BandLow(); }
  double BandHigh() const { return tesk->GetEngine().BandHigh(); }

  // ---- The user ----
  void DrawAll() { gfx->DrawAll(); }
  IColor At(int x, int y) { return gfx->GetPoint(x, y); }
  void Click(int x, int y)
  {
    IMouseMod left(true);
    gfx->OnMouseDown(x, y, &left);
    gfx->OnMouseUp(x, y, &left);
  }
  void Drag(int x, int y, int toX, int toY)
  {
    IMouseMod left(true);
    gfx->OnMouseDown(x, y, &left);
    gfx->OnMouseDrag(toX, toY, &left);
  }
  void Release(int x, int y)
  {
    IMouseMod left(true);
    gfx->OnMouseUp(x, y, &left);
  }

  // ---- The expected picture ----
  // The editor's pixel at (x, y) equals the background's there.
  bool ShowsBackground(int x, int y) { return At(x, y) == Reference().At(x, y); }
  IColor BackgroundAt(int x, int y) { return Reference().At(x, y); }
  // The editor shows frame `frame` (from 1) of the image whole, its top-left corner
  // at (x, y), as the graphics host draws it over the background. Only the pixels
  // inside `within` are compared: the editor's surface, or less where the image
  // lies over something drawn before it.
  ::testing::AssertionResult ShowsImage(const EditorImage& image, int x, int y, int frame = 1,
                                        IRECT within = IRECT(0, 0, 425, 440))
  {
    Canvas ref(tesk.get());
    IBitmap bitmap = ref.Load(image);
    const IRECT placed(x, y, x + bitmap.W, y + bitmap.H / bitmap.N);
    const IRECT area = within.Intersect(&placed);
    ref.g.AttachControl(new ImageAt(tesk.get(), bitmap, x, y, frame));
    ref.g.DrawAll();
    for (int py = area.T; py < area.B; ++py)
      for (int px = area.L; px < area.R; ++px)
        if (At(px, py) != ref.At(px, py))
          return ::testing::AssertionFailure() << image.file << " frame " << frame << " at (" << x << ", " << y
                                               << ") differs at (" << px << ", " << py << ")";
    return ::testing::AssertionSuccess();
  }
  // What the editor shows at (x, y) where the image, its corner at (imageX, imageY),
  // is drawn over a pixel of the given colour.
  IColor ImageOver(const EditorImage& image, int imageX, int imageY, IColor under, int x, int y)
  {
    Canvas ref(tesk.get());
    ref.g.AttachControl(new PointAt(tesk.get(), under, x, y));
    ref.g.AttachControl(new ImageAt(tesk.get(), ref.Load(image), imageX, imageY, 1));
    ref.g.DrawAll();
    return ref.At(x, y);
  }
  // The size of an editor image (one frame's height).
  IRECT ImageSize(const EditorImage& image)
  {
    IBitmap b = gfx->LoadIBitmap(image.id, image.file, image.frames);
    return IRECT(0, 0, b.W, b.H / b.N);
  }

  struct Push
  {
    int idx;
    double value;
  };

  // Declared in order of construction; the graphics object (and with it every
  // control) goes with the processor.
  std::unique_ptr<Tesk> tesk;
  TeskEditor& editor;
  IGraphicsHeadless* gfx;
  FFTDisplay* fft;
  WaveformDisplay* wave;
  Fader *faderPre, *faderModeA, *faderModeB;
  OnOff *switchAuto, *switchBypass, *switchInv;
  Ctrlo *lowHolder, *highHolder;
  SensKnob* knob;
  Version* version;
  std::vector<Push> pushes;

private:
  // One frame of an image drawn at a place, as the layout's controls draw (blend
  // none, weight 1).
  class ImageAt final : public IControl
  {
  public:
    ImageAt(IPlugBase* pPlug, IBitmap image, int x, int y, int frame)
      : IControl(pPlug, IRECT(x, y, x + image.W, y + image.H / image.N)),
        mImage(image),
        mFrame(frame)
    {
    }
    bool Draw(IGraphics* pGraphics) override { return pGraphics->DrawBitmap(&mImage, &mRECT, mFrame, &mBlend); }

  private:
    IBitmap mImage;
    int mFrame;
  };

  // One pixel plotted as the displays plot theirs (no blend).
  class PointAt final : public IControl
  {
  public:
    PointAt(IPlugBase* pPlug, IColor color, int x, int y)
      : IControl(pPlug, IRECT(x, y, x + 1, y + 1)),
        mColor(color)
    {
    }
    bool Draw(IGraphics* pGraphics) override
    {
      return pGraphics->DrawPoint(&mColor, static_cast<float>(mRECT.L), static_cast<float>(mRECT.T), nullptr, false);
    }

  private:
    IColor mColor;
  };

  // A graphics host of the editor's size over the same background, drawn as the
  // editor draws it.
  struct Canvas
  {
    explicit Canvas(IPlugBase* pPlug)
      : g(pPlug, 425, 440, 0)
    {
      g.AttachBackground(kBackgroundImage.id, kBackgroundImage.file);
      g.PrepDraw();
      g.DrawAll();
    }
    IBitmap Load(const EditorImage& image) { return g.LoadIBitmap(image.id, image.file, image.frames); }
    IColor At(int x, int y) { return g.GetPoint(x, y); }
    IGraphicsHeadless g;
  };
  Canvas& Reference()
  {
    if (!mBackground) mBackground = std::make_unique<Canvas>(tesk.get());
    return *mBackground;
  }
  std::unique_ptr<Canvas> mBackground;

  template <class T>
  T* Find() const
  {
    for (int i = 0; i < gfx->NControls(); ++i)
      if (auto* p = dynamic_cast<T*>(gfx->GetControl(i))) return p;
    return nullptr;
  }

  // The host's listener: a notification of this instance (opened directly, so it
  // has no component instance) of a value change, read back through the parameter.
  static void Record(void* user, void*, const AudioUnitEvent* event)
  {
    auto* f = static_cast<EditorFixture*>(user);
    if (event->mEventType != kAudioUnitEvent_ParameterValueChange || event->mArgument.mParameter.mAudioUnit) return;
    const int idx = static_cast<int>(event->mArgument.mParameter.mParameterID);
    f->pushes.push_back({idx, f->tesk->GetParam(idx)->GetNormalized()});
  }
};
