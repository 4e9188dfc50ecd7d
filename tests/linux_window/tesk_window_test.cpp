// The Tesk editor in a real X11 window under Xvfb: the window shows exactly the headless
// picture (doubled at scale 2, through shared memory or XPutImage), real mouse input
// moves the parameters as the controls say, and the window's life (embedding, closing,
// reopening, the plug-in destroyed under it) leaves nothing behind.

#include "WindowTestSupport.h"

using namespace window_test;

namespace
{
struct PictureCase
{
  const char* name;
  int scale;
  bool sharedMemory;
};

class TeskPicture : public XvfbTest, public ::testing::WithParamInterface<PictureCase>
{
};

double ValueOn(X11EditorWindow& w, TeskUnderTest& t, int idx)
{
  double v = 0.0;
  w.RunOnEditorThread([&] { v = t.Value(idx); });
  return v;
}

int CenterX(const IRECT* r) { return (r->L + r->R) / 2; }
int CenterY(const IRECT* r) { return (r->T + r->B) / 2; }
}  // namespace

TEST_P(TeskPicture, WindowShowsTheHeadlessPicture)
{
  const PictureCase& c = GetParam();
  TeskUnderTest t;
  TeskReference ref;
  X11EditorWindowOptions options;
  options.scale = c.scale;
  options.sharedMemory = c.sharedMemory;
  X11EditorWindow w(t.graphics, options);
  ASSERT_TRUE(w.StartEditorThread()) << w.Error();
  EXPECT_EQ(w.UsesSharedMemory(), c.sharedMemory);  // Xvfb offers MIT-SHM
  EXPECT_EQ(w.PixelWidth(), 425 * c.scale);
  EXPECT_EQ(w.PixelHeight(), 440 * c.scale);
  Settle(w, t.graphics);

  auto grab = mUser->Grab(w.NativeWindow());
  SaveForViewing(grab.get(), std::string("tesk_") + c.name + ".png");
  EXPECT_EQ(DifferingPixels(grab.get(), ref.Picture(), c.scale), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, TeskPicture,
                         ::testing::Values(PictureCase{"1x_shm", 1, true}, PictureCase{"1x_putimage", 1, false},
                                           PictureCase{"2x_shm", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each gesture is made with real input on the window and, as the graphics host receives
// it, on the reference editor; the parameters follow the controls and the pictures agree.
class TeskMouse : public XvfbTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(TeskMouse, GesturesMoveParametersAndPicture)
{
  const int s = GetParam();
  TeskUnderTest t;
  TeskReference ref;
  IGraphics* rg = ref.graphics;
  X11EditorWindowOptions options;
  options.scale = s;
  X11EditorWindow w(t.graphics, options);
  ASSERT_TRUE(w.StartEditorThread()) << w.Error();
  IMouseMod left(true), shift(true, false, true);

  // Bypass: a click flips it.
  const IRECT* bypass = ControlOf(t.graphics, Tesk::kBypass)->GetRECT();
  const double bypassBefore = ValueOn(w, t, Tesk::kBypass);
  mUser->Click(CenterX(bypass) * s, CenterY(bypass) * s);
  EXPECT_NE(ValueOn(w, t, Tesk::kBypass), bypassBefore);
  rg->OnMouseDown(CenterX(bypass), CenterY(bypass), &left);
  rg->OnMouseUp(CenterX(bypass), CenterY(bypass), &left);
  EXPECT_EQ(ValueOn(w, t, Tesk::kBypass), ref.Value(Tesk::kBypass));

  // Pre fader: grab the handle and pull it 40 editor pixels up.
  auto* pre = ControlOf(t.graphics, Tesk::kPre);
  int handleY = 0;
  w.RunOnEditorThread([&] { handleY = dynamic_cast<Fader*>(pre)->HandleY(); });
  const int fx = CenterX(pre->GetRECT()), fy = handleY + 10;
  mUser->Drag(fx * s, fy * s, fx * s, (fy - 40) * s);
  rg->OnMouseDown(fx, fy, &left);
  rg->OnMouseDrag(fx, fy - 40, &left);
  rg->OnMouseUp(fx, fy - 40, &left);
  EXPECT_NEAR(ValueOn(w, t, Tesk::kPre), 40.0 / 168.0, 1e-4);
  EXPECT_EQ(ValueOn(w, t, Tesk::kPre), ref.Value(Tesk::kPre));

  // Sensitivity knob: three wheel steps up (0.01 each), then two with shift (0.001 each).
  const IRECT* knob = ControlOf(t.graphics, Tesk::kSensitivity)->GetRECT();
  const double sensBefore = ValueOn(w, t, Tesk::kSensitivity);
  mUser->MoveTo(CenterX(knob) * s, CenterY(knob) * s);
  for (int i = 0; i < 3; ++i) mUser->Click(CenterX(knob) * s, CenterY(knob) * s, 4);
  mUser->Key(XK_Shift_L, true);
  for (int i = 0; i < 2; ++i) mUser->Click(CenterX(knob) * s, CenterY(knob) * s, 4);
  mUser->Key(XK_Shift_L, false);
  EXPECT_NEAR(ValueOn(w, t, Tesk::kSensitivity), sensBefore + 0.032, 1e-9);
  for (int i = 0; i < 3; ++i) rg->OnMouseWheel(CenterX(knob), CenterY(knob), &left, 1);
  for (int i = 0; i < 2; ++i) rg->OnMouseWheel(CenterX(knob), CenterY(knob), &shift, 1);

  // Band: drag the low handle 30 editor pixels to the right.
  auto* band = dynamic_cast<FFTDisplay*>(ControlOf(t.graphics, Tesk::kFFTDisplay));
  ASSERT_NE(band, nullptr);
  int lowX = 0;
  double lowBefore = 0.0;
  w.RunOnEditorThread([&] {
    lowX = band->Xm1();
    lowBefore = band->GetLow();
  });
  const int bx = lowX + 2, by = CenterY(band->GetRECT());
  mUser->Drag(bx * s, by * s, (bx + 30) * s, by * s);
  double lowAfter = 0.0;
  w.RunOnEditorThread([&] { lowAfter = band->GetLow(); });
  EXPECT_GT(lowAfter, lowBefore);
  rg->OnMouseDown(bx, by, &left);
  rg->OnMouseDrag(bx + 30, by, &left);
  rg->OnMouseUp(bx + 30, by, &left);
  EXPECT_EQ(ValueOn(w, t, Tesk::kLow), ref.Value(Tesk::kLow));

  // The pointer leaves; both editors show the same state.
  mUser->MoveTo(1000, 700);
  rg->OnMouseOut();
  Settle(w, t.graphics);
  auto grab = mUser->Grab(w.NativeWindow());
  SaveForViewing(grab.get(), "tesk_after_gestures_" + std::to_string(s) + "x.png");
  EXPECT_EQ(DifferingPixels(grab.get(), ref.Picture(), s), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, TeskMouse, ::testing::Values(1, 2),
                         [](const auto& info) { return std::to_string(info.param) + "x"; });

// A host hands over its window (an LV2 UI's parent) and drives the editor from its own
// idle calls on its own thread.
TEST_F(XvfbTest, EmbeddedInAHostWindowAndDrivenByIdleCalls)
{
  TeskUnderTest t;
  TeskReference ref;
  const Window host = mUser->MakeHostWindow(30, 40, 500, 500);
  int reportedW = 0, reportedH = 0;
  X11EditorWindowOptions options;
  options.parent = host;
  options.scale = 1;
  options.onSize = [&](int w, int h) { reportedW = w, reportedH = h; };
  X11EditorWindow w(t.graphics, options);
  ASSERT_TRUE(w.Open()) << w.Error();
  EXPECT_EQ(mUser->Parent(w.NativeWindow()), host);
  EXPECT_EQ(reportedW, 425);
  EXPECT_EQ(reportedH, 440);
  EXPECT_EQ(t.graphics->GetWindow(), reinterpret_cast<void*>(static_cast<std::uintptr_t>(w.NativeWindow())));

  const IRECT* bypass = ControlOf(t.graphics, Tesk::kBypass)->GetRECT();
  const double before = t.Value(Tesk::kBypass);
  mUser->Click(30 + CenterX(bypass), 40 + CenterY(bypass));
  EXPECT_TRUE(Until([&] { return t.Value(Tesk::kBypass) != before; }, [&] { w.Idle(); }));
  IMouseMod left(true);
  ref.graphics->OnMouseDown(CenterX(bypass), CenterY(bypass), &left);
  ref.graphics->OnMouseUp(CenterX(bypass), CenterY(bypass), &left);
  mUser->MoveTo(1000, 700);
  ref.graphics->OnMouseOut();
  Settle(w, t.graphics);
  EXPECT_EQ(DifferingPixels(mUser->Grab(w.NativeWindow()).get(), ref.Picture(), 1), 0);

  // The host closes its window: the editor notices and lets go of the graphics host.
  mUser->DestroyWindow(host);
  EXPECT_TRUE(Until([&] { return !w.Idle(); }));
  EXPECT_EQ(t.graphics->GetWindow(), nullptr);
}

// The user closes the window, then opens the editor again.
TEST_F(XvfbTest, ClosedByTheUserAndReopened)
{
  TeskUnderTest t;
  auto first = std::make_unique<X11EditorWindow>(t.graphics, X11EditorWindowOptions{});
  ASSERT_TRUE(first->StartEditorThread()) << first->Error();
  const Window firstId = first->NativeWindow();
  mUser->RequestClose(firstId);
  EXPECT_TRUE(Until([&] { return !first->IsOpen(); }));
  EXPECT_FALSE(mUser->Exists(firstId));
  EXPECT_EQ(t.graphics->GetWindow(), nullptr);
  first.reset();

  X11EditorWindow second(t.graphics, X11EditorWindowOptions{});
  ASSERT_TRUE(second.StartEditorThread()) << second.Error();
  const IRECT* bypass = ControlOf(t.graphics, Tesk::kBypass)->GetRECT();
  const double before = ValueOn(second, t, Tesk::kBypass);
  mUser->Click(CenterX(bypass), CenterY(bypass));
  EXPECT_NE(ValueOn(second, t, Tesk::kBypass), before);

  // A second window cannot attach while one is open.
  X11EditorWindow third(t.graphics, X11EditorWindowOptions{});
  EXPECT_FALSE(third.Open());
  EXPECT_FALSE(third.Error().empty());

  // The graphics host's own CloseWindow closes it too.
  second.RunOnEditorThread([&] { t.graphics->CloseWindow(); });
  EXPECT_TRUE(Until([&] { return !second.IsOpen(); }));
  EXPECT_FALSE(t.graphics->WindowIsOpen());
}

// The host destroys the plug-in while its editor window is open, in either way of
// driving the window; the window closes and never touches the freed editor.
TEST_F(XvfbTest, PluginDestroyedWithTheWindowOpen)
{
  for (const bool ownThread : {true, false})
  {
    SCOPED_TRACE(ownThread ? "editor thread" : "host idle calls");
    auto t = std::make_unique<TeskUnderTest>();
    X11EditorWindow w(t->graphics, X11EditorWindowOptions{});
    ASSERT_TRUE(ownThread ? w.StartEditorThread() : w.Open()) << w.Error();
    const Window id = w.NativeWindow();
    if (!ownThread) w.Idle();
    // Something for the editor to do while it goes away.
    mUser->Click(CenterX(ControlOf(t->graphics, Tesk::kBypass)->GetRECT()),
                 CenterY(ControlOf(t->graphics, Tesk::kBypass)->GetRECT()));
    t.reset();
    EXPECT_FALSE(w.IsOpen());
    EXPECT_FALSE(w.Idle());
    EXPECT_FALSE(mUser->Exists(id));
    w.Close();
  }
}
