// The editor's layout and wiring, and snapshots drawn through the headless host:
// at construction (kept as a golden image) and after a sine sweep with a narrow band.
// Set TESK_UPDATE_GOLDEN=1 to rewrite the golden image after a deliberate change of
// the artwork or the layout; the snapshots land in tesk_snapshots/ of the test's build folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Ctrlo.h"
#include "FFTDisplay.h"
#include "Fader.h"
#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "OnOff.h"
#include "SensKnob.h"
#include "TeskTestSupport.h"
#include "Version.h"
#include "WaveformDisplay.h"
#include "lice.h"
#include "lice_png.h"

using namespace tesk_test;

namespace
{
IGraphicsHeadless* Headless(Engine& e)
{
  auto* p = dynamic_cast<IGraphicsHeadless*>(e->GetGUI());
  EXPECT_NE(p, nullptr);
  return p;
}

std::string SnapshotPath(const char* name)
{
  const std::filesystem::path dir = TESK_SNAPSHOT_DIR;
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

template <class T>
bool Is(IControl* p)
{
  return dynamic_cast<T*>(p) != nullptr;
}

// Share of pixels whose channels differ by more than tolerance.
double DifferingShare(LICE_IBitmap* a, LICE_IBitmap* b, int tolerance)
{
  int differing = 0;
  const int w = a->getWidth(), h = a->getHeight();
  for (int y = 0; y < h; ++y)
  {
    for (int x = 0; x < w; ++x)
    {
      const LICE_pixel pa = a->getBits()[y * a->getRowSpan() + x], pb = b->getBits()[y * b->getRowSpan() + x];
      const int dr = std::abs(int(LICE_GETR(pa)) - int(LICE_GETR(pb)));
      const int dg = std::abs(int(LICE_GETG(pa)) - int(LICE_GETG(pb)));
      const int db = std::abs(int(LICE_GETB(pa)) - int(LICE_GETB(pb)));
      if (std::max({dr, dg, db}) > tolerance) ++differing;
    }
  }
  return static_cast<double>(differing) / (w * h);
}

bool IsGrey(const IColor& c) { return c.R == c.G && c.G == c.B; }
}  // namespace

TEST(TeskEditor, LayoutInAttachOrder)
{
  Engine e;
  IGraphics* g = e->GetGUI();
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Width(), 425);
  EXPECT_EQ(g->Height(), 440);
  EXPECT_EQ(g->FPS(), 25);
  EXPECT_TRUE(g->CanHandleMouseOver());

  struct Row
  {
    const char* name;
    std::function<bool(IControl*)> isClass;
    IRECT rect;
    int param;
  };
  IControl* pKnob = g->GetControl(2);
  const Row rows[] = {
    {"waveform display", Is<WaveformDisplay>, IRECT(280, 15, 415, 395), Tesk::kWaveformDisplay},  // its panel
    {"sensitivity knob", Is<SensKnob>, IRECT(99, 37, pKnob->GetRECT()->R, 127), Tesk::kSensitivity},
    {"fader Pre", Is<Fader>, IRECT(47, 173, 82, 418), Tesk::kPre},
    {"fader Mode A", Is<Fader>, IRECT(139, 171, 174, 416), Tesk::kModeA},
    {"fader Mode B", Is<Fader>, IRECT(209, 171, 244, 416), Tesk::kModeB},
    {"switch Auto", Is<OnOff>, IRECT(159, 52, 193, 77), Tesk::kAuto},
    {"switch Bypass", Is<OnOff>, IRECT(39, 52, 73, 77), Tesk::kBypass},
    {"switch Inv", Is<OnOff>, IRECT(227, 54, 261, 79), Tesk::kInv},
    {"low holder", Is<Ctrlo>, IRECT(0, 0, 0, 0), Tesk::kLow},
    {"high holder", Is<Ctrlo>, IRECT(0, 0, 0, 0), Tesk::kHigh},
    {"version label", Is<Version>, IRECT(283, 417, 333, 437), Tesk::kReductionAmount},
    {"spectrum display", Is<FFTDisplay>, IRECT(35, 92, 266, 141), Tesk::kFFTDisplay},
  };
  ASSERT_EQ(g->NControls(), 13);
  for (int i = 0; i < 12; ++i)
  {
    IControl* p = g->GetControl(i + 1);
    const Row& r = rows[i];
    EXPECT_TRUE(r.isClass(p)) << r.name;
    EXPECT_EQ(p->GetRECT()->L, r.rect.L) << r.name;
    EXPECT_EQ(p->GetRECT()->T, r.rect.T) << r.name;
    EXPECT_EQ(p->GetRECT()->R, r.rect.R) << r.name;
    EXPECT_EQ(p->GetRECT()->B, r.rect.B) << r.name;
    EXPECT_EQ(p->ParamIdx(), r.param) << r.name;
  }
  // The processor's pointers are the controls of the table.
  EXPECT_EQ(g->GetControl(1), static_cast<IControl*>(EditorOf(*e).GetWaveformDisplay()));
  EXPECT_EQ(g->GetControl(3), static_cast<IControl*>(EditorOf(*e).GetFader(Tesk::kPre)));
  EXPECT_EQ(g->GetControl(6), static_cast<IControl*>(EditorOf(*e).GetSwitch(Tesk::kAuto)));
  EXPECT_EQ(g->GetControl(7), static_cast<IControl*>(EditorOf(*e).GetSwitch(Tesk::kBypass)));
  EXPECT_EQ(g->GetControl(8), static_cast<IControl*>(EditorOf(*e).GetSwitch(Tesk::kInv)));
  EXPECT_EQ(g->GetControl(9), static_cast<IControl*>(EditorOf(*e).GetLowHolder()));
  EXPECT_EQ(g->GetControl(12), static_cast<IControl*>(EditorOf(*e).GetFFTDisplay()));
  // The Bypass switch took its first value from the layout, which became its default.
  EXPECT_EQ(EditorOf(*e).GetSwitch(Tesk::kBypass)->GetDefaultValue(), 1.0);
}

TEST(TeskEditor, TheSpectrumDisplayIsHitFirstAndTheHoldersNever)
{
  Engine e;
  IGraphics* g = e->GetGUI();
  EXPECT_EQ(g->GetMouseControlIdx(100, 100), 12);  // inside the knob's rectangle too
  for (int x = 0; x < 425; x += 7)
    for (int y = 0; y < 440; y += 7)
    {
      const int idx = g->GetMouseControlIdx(x, y);
      ASSERT_TRUE(idx != 9 && idx != 10) << x << "," << y;
    }
}

TEST(TeskEditor, TheWheelOverTheVersionLabelMovesReductionAmount)
{
  Engine e;
  IMouseMod mod;
  e->GetGUI()->OnMouseWheel(300, 425, &mod, 3);
  EXPECT_GT(e->GetParam(Tesk::kReductionAmount)->Value(), 0.0);
}

TEST(TeskEditor, SnapshotAtConstructionMatchesTheGoldenImage)
{
  Engine e;  // all parameters at their defaults: Sensitivity 0
  IGraphicsHeadless* g = Headless(e);
  ASSERT_TRUE(g->DrawAll());
  const std::string path = SnapshotPath("editor_construction.png");
  ASSERT_TRUE(g->WriteSnapshotPNG(path.c_str()));

  const std::string golden = std::string(TESK_TEST_DATA_DIR) + "/golden/editor_sensitivity0.png";
  const char* update = std::getenv("TESK_UPDATE_GOLDEN");
  if (update && *update == '1')
  {
    std::filesystem::create_directories(std::string(TESK_TEST_DATA_DIR) + "/golden");
    ASSERT_TRUE(g->WriteSnapshotPNG(golden.c_str()));
  }
  std::unique_ptr<LICE_IBitmap> expected(LICE_LoadPNG(golden.c_str()));
  std::unique_ptr<LICE_IBitmap> actual(LICE_LoadPNG(path.c_str()));
  ASSERT_NE(expected, nullptr) << "missing golden image " << golden;
  ASSERT_NE(actual, nullptr);
  ASSERT_EQ(expected->getWidth(), actual->getWidth());
  ASSERT_EQ(expected->getHeight(), actual->getHeight());
  EXPECT_LT(DifferingShare(expected.get(), actual.get(), 3), 0.001);
}

TEST(TeskEditor, SnapshotAfterASweepShowsTheSpectraInsideANarrowBand)
{
  Engine e;
  e.Set(Tesk::kLow, 0.2);
  e.Set(Tesk::kHigh, 0.55);
  e.Set(Tesk::kModeA, 0.6);
  const int n = 44100 * 3;
  Signal sweep(n);
  double phase = 0.0;
  for (int i = 0; i < n; ++i)
  {
    const double f = 100.0 * std::pow(20.0, static_cast<double>(i) / n);  // 100 Hz .. 2 kHz
    phase += 2.0 * std::numbers::pi * f / 44100.0;
    sweep[i] = 0.6 * std::sin(phase);
  }
  e.RenderMono(sweep, 512);
  e->OnIdle();
  IGraphicsHeadless* g = Headless(e);
  g->OnEditorTimer();  // the displays take what the audio thread fed
  ASSERT_TRUE(g->DrawAll());
  ASSERT_TRUE(g->WriteSnapshotPNG(SnapshotPath("editor_sweep.png").c_str()));

  // The colour map: grey outside the band's handles, coloured within it.
  FFTDisplay* d = EditorOf(*e).GetFFTDisplay();
  const int y = 126;  // a recent row
  EXPECT_TRUE(IsGrey(g->GetPoint(42, y)));
  EXPECT_TRUE(IsGrey(g->GetPoint(255, y)));
  int coloured = 0;
  for (int x = d->Xm1() + 8; x < d->Xm2(); ++x) coloured += IsGrey(g->GetPoint(x, y)) ? 0 : 1;
  EXPECT_GT(coloured, (d->Xm2() - d->Xm1()) / 2);

  // The waveform envelope differs from the empty editor's.
  Engine empty;
  IGraphicsHeadless* g0 = Headless(empty);
  ASSERT_TRUE(g0->DrawAll());
  int changed = 0;
  for (int yy = 150; yy < 260; ++yy)
  {
    const IColor a = g->GetPoint(400, yy), b = g0->GetPoint(400, yy);
    changed += (a.R != b.R || a.G != b.G || a.B != b.B) ? 1 : 0;
  }
  EXPECT_GT(changed, 0);
}

TEST(TeskEditor, AnEditorBuiltWhenFirstShownDrawsWhatOneBuiltWithTheProcessorDraws)
{
  // A processor builds its editor on first need (a host opening the view late,
  // tesk-render's snapshot): it must show the controls, the band and the displays as an
  // editor that was there all along shows them after its next tick. Each case sets
  // parameters, renders, changes more, renders again.
  using Settings = std::vector<std::pair<int, double>>;
  struct Case
  {
    const char* name;
    Settings before, after;
  };
  const Case cases[] = {
    {"defaults", {}, {}},
    {"busy with Auto",
     {{Tesk::kSensitivity, 0.6},
      {Tesk::kAuto, 1.0},
      {Tesk::kPre, 0.5},
      {Tesk::kModeA, 0.8},
      {Tesk::kModeB, 0.4},
      {Tesk::kLow, 0.0123},
      {Tesk::kHigh, 0.3791}},
     {{Tesk::kReductionAmount, 0.35}, {Tesk::kResidual, 1.0}}},
    {"inverted band",
     {{Tesk::kPre, 0.3}, {Tesk::kModeA, 1.0}, {Tesk::kLow, 0.1}, {Tesk::kHigh, 0.25}},
     {{Tesk::kInv, 1.0}}},
    {"crossed edges, band from the marks", {{Tesk::kLow, 0.6}, {Tesk::kHigh, 0.2}}, {{Tesk::kFFTDisplay, 0.77}}},
    {"bypassed", {{Tesk::kPre, 0.7}}, {{Tesk::kBypass, 1.0}}},
    {"bypassed and back", {{Tesk::kPre, 0.7}, {Tesk::kBypass, 1.0}}, {{Tesk::kBypass, 0.0}, {Tesk::kLow, 0.3}}},
  };
  const Signal in = Noise(3 * 8192, 0.4, 5u);
  for (const Case& c : cases)
  {
    auto draw = [&](bool builtWithTheProcessor) {
      Engine e(7u, builtWithTheProcessor);
      for (auto [idx, v] : c.before) e.Set(idx, v);
      e.RenderMono(in, 512);
      for (auto [idx, v] : c.after) e.Set(idx, v);
      e.RenderMono(in, 300);
      e->OnIdle();
      IGraphics* g = e->EnsureGUI();
      g->OnEditorTimer();
      EXPECT_TRUE(g->DrawAll());
      LICE_IBitmap* b = g->GetDrawBitmap();
      std::vector<LICE_pixel> pixels;
      for (int y = 0; y < b->getHeight(); ++y)
        pixels.insert(pixels.end(), b->getBits() + y * b->getRowSpan(),
                      b->getBits() + y * b->getRowSpan() + b->getWidth());
      return pixels;
    };
    const std::vector<LICE_pixel> allAlong = draw(true), late = draw(false);
    EXPECT_EQ(allAlong.size(), static_cast<size_t>(425 * 440)) << c.name;
    EXPECT_TRUE(allAlong == late) << c.name;
  }
}
