// The faders and the sensitivity knob: texts, handle positions and frames, and what
// presses, drags and the wheel do when they arrive through the graphics host.

#include <limits>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

namespace
{
struct FaderTextCase
{
  const char* name;
  double value;
  const char* text;
  int offset;
};

class FaderText : public testing::TestWithParam<FaderTextCase>
{
};

TEST_P(FaderText, PercentageAndSignShift)
{
  EditorFixture f;
  f.faderPre->SetValue(GetParam().value);
  EXPECT_STREQ(f.faderPre->ValueText(), GetParam().text);
  EXPECT_EQ(f.faderPre->TextOffset(), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Values, FaderText,
                         testing::Values(FaderTextCase{"zero_shifts_left", 0.0, "0", -8},
                                         FaderTextCase{"nine_shifts_left", 0.09, "9", -8},
                                         FaderTextCase{"ten_stays", 0.1, "10", 0}, FaderTextCase{"half", 0.5, "50", 0},
                                         FaderTextCase{"truncates", 0.57, "56", 0},
                                         FaderTextCase{"full_shifts_right", 1.0, "100", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Fader, HandlePositionsOfTheFirstFader)
{
  EditorFixture f;
  Fader* pre = f.faderPre;
  const struct
  {
    double value;
    int y;
  } rows[] = {{1.0, 176}, {0.0, 344}, {0.5, 260}};
  for (const auto& row : rows)
  {
    pre->SetValue(row.value);
    EXPECT_EQ(pre->HandleY(), row.y) << row.value;
  }
}

// A value far outside 0..1 puts the handle far outside its travel, yet near enough
// that the handle's rectangle and the press test can still be formed.
TEST(Fader, FarOutsideValuesKeepTheHandleRectangleFormable)
{
  EditorFixture f;
  Fader* pre = f.faderPre;
  IMouseMod left(true);
  for (double v : {-1e300, 1e300, -1e12})
  {
    pre->SetValue(v);
    EXPECT_LT(pre->HandleY(), std::numeric_limits<int>::max() - 1000000) << v;
    EXPECT_GT(pre->HandleY(), std::numeric_limits<int>::min() + 1000000) << v;
    EXPECT_TRUE(v < 0 ? pre->HandleY() > pre->MaxY() : pre->HandleY() < pre->MinY()) << v;
    f.DrawAll();
    // Nothing of the handle anywhere over the fader's track, above its value text.
    for (int y = 173; y < 173 + 221; ++y) ASSERT_TRUE(f.ShowsBackground(60, y)) << v << " " << y;
    // The press finds no handle; its push (of the value limited to 0..1) brings it back.
    f.gfx->OnMouseDown(60, 300, &left);
    EXPECT_FALSE(pre->IsDragging()) << v;
    f.gfx->OnMouseUp(60, 300, &left);
  }
}

// The text is copied out of the caller's buffer only as far as it was written.
TEST(Fader, ValueTextFromACallersShortBuffer)
{
  EditorFixture f;
  char exact[4];
  f.faderPre->int2char(exact, 100);
  EXPECT_STREQ(exact, "100");
  EXPECT_STREQ(f.faderPre->ValueText(), "100");
  char two[2];
  f.faderPre->int2char(two, 7);
  EXPECT_STREQ(f.faderPre->ValueText(), "7");
}

TEST(Fader, DrawsHandleAtItsPositionAndTextBelow)
{
  EditorFixture f;
  f.faderPre->SetValue(0.5);
  f.DrawAll();
  // Left edge 47 + 10, top edge 260; a pixel off either way is not the picture.
  EXPECT_TRUE(f.ShowsImage(kFaderHandleImage, 57, 260));
  for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
    EXPECT_FALSE(f.ShowsImage(kFaderHandleImage, 57 + dx, 260 + dy)) << dx << " " << dy;
  // Some white text pixels in the value row (173 + 221 .. 173 + 235).
  int bright = 0;
  for (int y = 394; y < 408; ++y)
    for (int x = 49; x < 87; ++x) bright += f.At(x, y).R > 128 && !f.ShowsBackground(x, y);
  EXPECT_GT(bright, 5);
}

TEST(Fader, PressGrabsOnlyStrictlyInsideTheHandle)
{
  EditorFixture f;
  f.faderPre->SetValue(0.5);  // handle from 260, as tall as its image
  const int bottom = 260 + f.ImageSize(kFaderHandleImage).H();
  IMouseMod left(true);
  const struct
  {
    int y;
    bool grabs;
  } rows[] = {{260, false}, {261, true}, {bottom - 1, true}, {bottom, false}, {bottom + 20, false}};
  for (const auto& row : rows)
  {
    f.gfx->OnMouseDown(60, row.y, &left);
    EXPECT_EQ(f.faderPre->IsDragging(), row.grabs) << row.y;
    f.gfx->OnMouseUp(60, row.y, &left);
    EXPECT_FALSE(f.faderPre->IsDragging());
  }
}

TEST(Fader, DragOnTheHandleMovesItAndPushesTheValue)
{
  EditorFixture f;
  f.HostSets(kPre, 0.5);
  f.ForgetCalls();
  f.Drag(60, 270, 60, 250);  // 20 pixels up
  Fader* pre = f.faderPre;
  EXPECT_EQ(pre->HandleY(), 240);
  EXPECT_DOUBLE_EQ(pre->GetValue(), 1.0 - 64.0 / 168.0);
  ASSERT_EQ(f.PushesOf(kPre).size(), 2u);  // press, drag
  EXPECT_DOUBLE_EQ(f.PushesOf(kPre)[1], 1.0 - 64.0 / 168.0);
  EXPECT_STREQ(pre->ValueText(), "61");

  // Far beyond the top: the handle stops at its limit and the value at 1.
  IMouseMod left(true);
  f.gfx->OnMouseDrag(60, 0, &left);
  EXPECT_EQ(pre->HandleY(), 176);
  EXPECT_DOUBLE_EQ(pre->GetValue(), 1.0);
  EXPECT_STREQ(pre->ValueText(), "100");
  f.Release(60, 0);
  EXPECT_FALSE(pre->IsDragging());
}

TEST(Fader, DragBesideTheHandleSnapsTheValueToThePixelAndPushesIt)
{
  EditorFixture f;
  f.HostSets(kPre, 0.505);
  Fader* pre = f.faderPre;
  ASSERT_EQ(pre->HandleY(), 259);
  f.ForgetCalls();
  f.Drag(60, 320, 60, 330);
  EXPECT_FALSE(pre->IsDragging());
  EXPECT_EQ(pre->HandleY(), 259);
  const double snapped = 1.0 - 83.0 / 168.0;
  EXPECT_DOUBLE_EQ(pre->GetValue(), snapped);
  ASSERT_EQ(f.PushesOf(kPre).size(), 2u);
  EXPECT_DOUBLE_EQ(f.PushesOf(kPre)[1], snapped);
}

TEST(Fader, WheelPushesAndTheProcessorRefreshesHandleAndText)
{
  EditorFixture f;
  IMouseMod none;
  f.gfx->OnMouseWheel(150, 300, &none, 50);  // Mode A fader
  EXPECT_NEAR(f.faderModeA->GetValue(), 0.5, 1e-12);
  ASSERT_EQ(f.PushesOf(kModeA).size(), 1u);
  EXPECT_EQ(f.faderModeA->HandleY(), 171 + 171 - 84);
  EXPECT_STREQ(f.faderModeA->ValueText(), "50");
}

TEST(Fader, OverOutAndDoubleClickPushTheUnchangedValue)
{
  EditorFixture f;
  f.HostSets(kModeB, 0.25);
  f.ForgetCalls();
  IMouseMod none;
  f.gfx->OnMouseOver(220, 300, &none);
  f.gfx->OnMouseDblClick(220, 300, &none);
  f.gfx->OnMouseOut();
  EXPECT_EQ(f.PushesOf(kModeB), (std::vector<double>{0.25, 0.25, 0.25}));
}

// ---- Knob ----

struct KnobTextCase
{
  const char* name;
  double value;
  const char* text;
};

class KnobText : public testing::TestWithParam<KnobTextCase>
{
};

TEST_P(KnobText, TwoTruncatedDecimals)
{
  EditorFixture f;
  f.knob->double2char(GetParam().value);
  EXPECT_STREQ(f.knob->ValueText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
  Values, KnobText,
  testing::Values(KnobTextCase{"zero", 0.0, "0.00"}, KnobTextCase{"five_hundredths", 0.05, "0.05"},
                  KnobTextCase{"three_tenths", 0.3, "0.30"}, KnobTextCase{"point_29_truncates", 0.29, "0.28"},
                  KnobTextCase{"point_57_truncates", 0.57, "0.56"}, KnobTextCase{"point_99_truncates", 0.99, "0.98"},
                  KnobTextCase{"one", 1.0, "1.00"}),
  [](const auto& info) { return std::string(info.param.name); });

TEST(SensKnob, FrameFollowsTheValueAndIsDrawn)
{
  EditorFixture f;
  const struct
  {
    double value;
    int frame;
  } rows[] = {{0.0, 1}, {1.0, 120}, {0.5, 61}, {0.004, 1}, {0.005, 2}, {1e300, 120}, {-1e300, 1}, {1e12, 120}};
  for (const auto& row : rows)
  {
    f.HostSets(kSensitivity, row.value);
    EXPECT_EQ(f.knob->FrameState(), row.frame) << row.value;
    f.DrawAll();
    EXPECT_TRUE(f.ShowsImage(kKnobImage, 99, 37, row.frame)) << row.value;
  }
  EXPECT_EQ(f.knob->GetRECT()->L, 99);
  EXPECT_EQ(f.knob->GetRECT()->T, 37);
  EXPECT_EQ(f.knob->GetRECT()->R, 99 + f.ImageSize(kKnobImage).W());
  EXPECT_EQ(f.knob->GetRECT()->B, 127);
}

TEST(SensKnob, DragCoversTheRangeInThreeHundredPixels)
{
  EditorFixture f;
  f.HostSets(kSensitivity, 0.2);
  f.ForgetCalls();
  f.Drag(110, 60, 110, -90);  // 150 pixels up
  EXPECT_NEAR(f.knob->GetValue(), 0.7, 1e-12);
  EXPECT_STREQ(f.knob->ValueText(), "0.70");
  IMouseMod left(true);
  f.gfx->OnMouseDrag(110, -500, &left);
  EXPECT_DOUBLE_EQ(f.knob->GetValue(), 1.0);
  f.gfx->OnMouseDrag(110, -600, &left);
  EXPECT_DOUBLE_EQ(f.knob->GetValue(), 1.0);
  f.gfx->OnMouseDrag(110, 10000, &left);
  EXPECT_DOUBLE_EQ(f.knob->GetValue(), 0.0);
  // The press itself pushes nothing; every drag step does.
  EXPECT_EQ(f.PushesOf(kSensitivity).size(), 4u);
}

TEST(SensKnob, ValueBoxShowsWhileTheButtonIsHeld)
{
  EditorFixture f;
  f.HostSets(kSensitivity, 0.2);
  f.DrawAll();
  IMouseMod left(true);
  f.gfx->OnMouseDown(110, 60, &left);
  EXPECT_TRUE(f.knob->ShowsValue());
  EXPECT_STREQ(f.knob->ValueText(), "0.20");
  EXPECT_FALSE(f.knob->IsDirty());  // the box waits for the next redraw

  f.gfx->OnMouseDrag(110, 57, &left);
  EXPECT_TRUE(f.knob->IsDirty());
  f.DrawAll();
  // Box (99, 74) .. (135, 87): white frame, black inside.
  EXPECT_EQ(f.At(99, 74), COLOR_WHITE);
  EXPECT_EQ(f.At(135, 87), COLOR_WHITE);
  EXPECT_EQ(f.At(100, 80), COLOR_BLACK);

  f.gfx->OnMouseUp(110, 57, &left);
  EXPECT_FALSE(f.knob->ShowsValue());
  f.DrawAll();
  EXPECT_TRUE(f.ShowsBackground(100, 80));
}

TEST(SensKnob, PointerLeavingHidesTheBoxAndOverOrDoubleClickDoNothing)
{
  EditorFixture f;
  IMouseMod left(true);
  f.gfx->OnMouseDown(110, 60, &left);
  f.ForgetCalls();
  f.gfx->OnMouseOver(110, 60, &left);
  f.gfx->OnMouseDblClick(110, 60, &left);
  EXPECT_TRUE(f.knob->ShowsValue());
  EXPECT_TRUE(f.PushesOf(kSensitivity).empty());
  f.knob->OnMouseOut();
  EXPECT_FALSE(f.knob->ShowsValue());
  EXPECT_EQ(f.PushesOf(kSensitivity).size(), 1u);
}

TEST(SensKnob, WheelMovesTheFrameButNotTheText)
{
  EditorFixture f;
  f.knob->double2char(0.0);
  IMouseMod none;
  f.gfx->OnMouseWheel(110, 50, &none, 100);
  EXPECT_DOUBLE_EQ(f.knob->GetValue(), 1.0);
  EXPECT_EQ(f.knob->FrameState(), 120);
  EXPECT_STREQ(f.knob->ValueText(), "0.00");
  EXPECT_EQ(f.PushesOf(kSensitivity), (std::vector<double>{1.0}));
}
}  // namespace
