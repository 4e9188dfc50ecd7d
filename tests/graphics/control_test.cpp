#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "ITextControl.h"

namespace
{
TEST(IControlValues, FirstValueFromPlugBecomesTheDefaultWithoutRedrawRequest)
{
  EditorFixture f;
  PlainControl c(&f.plug, IRECT(0, 0, 10, 10), 0);
  c.SetValueFromPlug(0.3);
  EXPECT_DOUBLE_EQ(c.GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(c.GetDefaultValue(), 0.3);
  EXPECT_FALSE(c.GetRedraw());
  c.SetClean();
  EXPECT_FALSE(c.IsDirty());

  c.SetValueFromPlug(0.8);
  EXPECT_TRUE(c.IsDirty());
  EXPECT_TRUE(c.GetRedraw());
  EXPECT_TRUE(f.plug.fromGUI.empty()) << "values from the plug-in are not pushed back";

  c.OnMouseDblClick(1, 1, nullptr);
  EXPECT_DOUBLE_EQ(c.GetValue(), 0.3);
  ASSERT_EQ(f.plug.fromGUI.size(), 1u);
  EXPECT_DOUBLE_EQ(f.plug.fromGUI[0].value, 0.3);
}

TEST(IControlValues, DoubleClickWithoutDefaultDoesNothing)
{
  EditorFixture f;
  PlainControl c(&f.plug, IRECT(0, 0, 10, 10), 0);
  c.OnMouseDblClick(1, 1, nullptr);
  EXPECT_TRUE(f.plug.fromGUI.empty());
}

TEST(IControlValues, CleanDirtyCycleKeepsRequestedRedrawForOneMorePass)
{
  PlainControl c(nullptr, IRECT(0, 0, 10, 10), -1);
  EXPECT_TRUE(c.IsDirty()) << "new controls need drawing";
  c.SetValueFromPlug(0.2);  // default
  c.SetValueFromPlug(0.4);  // change: dirty and redraw requested
  c.SetClean();
  EXPECT_TRUE(c.IsDirty());
  c.SetClean();
  EXPECT_FALSE(c.IsDirty());
  c.SetValueFromPlug(0.4);  // unchanged value marks nothing
  EXPECT_FALSE(c.IsDirty());
}

TEST(IControlValues, WheelStepsAndClamp)
{
  struct Case
  {
    const char* name;
    IMouseMod mod;
    int d;
    double start, expected;
  };
  const Case cases[] = {
    {"no modifier, 3 steps", IMouseMod(), 3, 0.5, 0.53},
    {"shift, 3 steps", IMouseMod(false, false, true), 3, 0.5, 0.503},
    {"control, -2 steps", IMouseMod(false, false, false, true), -2, 0.5, 0.498},
    {"clamped at the top", IMouseMod(), 10, 0.95, 1.0},
    {"clamped at the bottom", IMouseMod(), -10, 0.05, 0.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EditorFixture f;
    PlainControl ctl(&f.plug, IRECT(0, 0, 10, 10), 1);
    ctl.SetValueFromPlug(c.start);
    IMouseMod mod = c.mod;
    ctl.OnMouseWheel(0, 0, &mod, c.d);
    EXPECT_NEAR(ctl.GetValue(), c.expected, 1e-12);
    ASSERT_EQ(f.plug.fromGUI.size(), 1u);
    EXPECT_EQ(f.plug.fromGUI[0].idx, 1);
    EXPECT_NEAR(f.plug.fromGUI[0].value, c.expected, 1e-12);
    EXPECT_NEAR(f.plug.GetParam(1)->Value(), c.expected, 1e-12);
  }
}

TEST(IControlValues, SetDirtyClampsToTheClampRangeBeforePushing)
{
  EditorFixture f;
  PlainControl c(&f.plug, IRECT(0, 0, 10, 10), 2);
  c.Clamp(0.2, 0.6);
  c.SetValueFromUserInput(0.9);
  EXPECT_DOUBLE_EQ(c.GetValue(), 0.6);
  c.SetValueFromUserInput(-3.0);
  EXPECT_DOUBLE_EQ(c.GetValue(), 0.2);
  ASSERT_EQ(f.plug.fromGUI.size(), 2u);
  EXPECT_DOUBLE_EQ(f.plug.fromGUI[0].value, 0.6);
  EXPECT_DOUBLE_EQ(f.plug.fromGUI[1].value, 0.2);
}

TEST(IControlValues, WithoutParameterOrPlugSetDirtyOnlyMarks)
{
  EditorFixture f;
  PlainControl unbound(&f.plug, IRECT(0, 0, 10, 10), -1);
  unbound.SetDirty(true);
  PlainControl noPlug(nullptr, IRECT(0, 0, 10, 10), 0);
  noPlug.SetDirty(true);
  EXPECT_TRUE(f.plug.fromGUI.empty());
  EXPECT_TRUE(unbound.IsDirty());
}

TEST(IControlState, GrayOutRestoresFullWeightAndHideRequestsRedraw)
{
  PlainControl c(nullptr, IRECT(0, 0, 10, 10));
  c.GrayOut(true);
  EXPECT_TRUE(c.IsGrayed());
  EXPECT_FLOAT_EQ(c.GetBlend()->mWeight, 0.25f);
  c.GrayOut(false);
  EXPECT_FLOAT_EQ(c.GetBlend()->mWeight, 1.0f);

  c.SetClean();
  c.SetClean();
  c.Hide(true);
  EXPECT_TRUE(c.IsHidden());
  EXPECT_TRUE(c.IsDirty());
  c.SetClean();
  EXPECT_TRUE(c.IsDirty()) << "hiding asks for one more pass";
}

TEST(IControlState, HitTestUsesTheTargetArea)
{
  PlainControl c(nullptr, IRECT(0, 0, 10, 10));
  EXPECT_TRUE(c.IsHit(5, 5));
  c.SetTargetArea(IRECT(20, 20, 30, 30));
  EXPECT_FALSE(c.IsHit(5, 5));
  EXPECT_TRUE(c.IsHit(20, 29));
  EXPECT_FALSE(c.IsHit(30, 25));
}

TEST(IControlAux, AuxiliaryParametersFollowAndPush)
{
  EditorFixture f;
  PlainControl c(&f.plug, IRECT(0, 0, 10, 10), 0);
  c.AddAuxParam(2);
  c.AddAuxParam(3);
  EXPECT_EQ(c.AuxParamIdx(3), 1);
  EXPECT_EQ(c.AuxParamIdx(1), -1);
  EXPECT_EQ(c.GetAuxParam(5), nullptr);
  c.SetClean();
  c.SetAuxParamValueFromPlug(1, 0.7);
  EXPECT_DOUBLE_EQ(c.GetAuxParam(1)->mValue, 0.7);
  EXPECT_TRUE(c.IsDirty());
  c.SetAllAuxParamsFromGUI();
  ASSERT_EQ(f.plug.fromGUI.size(), 2u);
  EXPECT_EQ(f.plug.fromGUI[0].idx, 2);
  EXPECT_DOUBLE_EQ(f.plug.fromGUI[0].value, 0.0);
  EXPECT_EQ(f.plug.fromGUI[1].idx, 3);
  EXPECT_DOUBLE_EQ(f.plug.fromGUI[1].value, 0.7);
}

TEST(IControlDisplay, ValueAndNameDisplaysFollowTheParameter)
{
  EditorFixture f;
  f.plug.GetParam(0)->InitDouble("Depth", 0.0, 0.0, 10.0, 0.1);
  const IText style;
  ITextControl value(&f.plug, IRECT(0, 20, 40, 30), &style);
  ITextControl name(&f.plug, IRECT(0, 30, 40, 40), &style);
  PlainControl c(&f.plug, IRECT(0, 0, 10, 10), 0);
  c.SetValDisplayControl(&value);
  c.SetNameDisplayControl(&name);
  value.SetClean();
  c.SetValueFromUserInput(0.25);
  EXPECT_STREQ(value.GetTextForPlug(), "2.5");
  EXPECT_STREQ(name.GetTextForPlug(), "Depth");
  EXPECT_TRUE(value.IsDirty());
  value.SetClean();
  c.SetDirty(false);  // same display text: the display control stays clean
  EXPECT_FALSE(value.IsDirty());
}

TEST(IControlPrompt, DisabledByDefaultThenCentredBoxOrControlRect)
{
  EditorFixture f(4, 100, 80, false);
  f.plug.GetParam(1)->InitDouble("Amount", 0.5, 0.0, 1.0, 0.01);
  f.plug.GetParam(2)->InitEnum("Mode", 0, 2);
  f.plug.GetParam(2)->SetDisplayText(0, "soft");
  f.plug.GetParam(2)->SetDisplayText(1, "hard");
  PlainControl* pNumber = new PlainControl(&f.plug, IRECT(10, 20, 51, 41), 1);
  PlainControl* pEnum = new PlainControl(&f.plug, IRECT(60, 0, 90, 10), 2);
  f.gfx->AttachControl(pNumber);
  f.gfx->AttachControl(pEnum);

  IMouseMod right(false, true);
  pNumber->OnMouseDown(0, 0, &right);
  EXPECT_FALSE(f.gfx->GetTextEntry().mOpen) << "prompting starts disabled";

  pNumber->DisablePrompt(false);
  pNumber->OnMouseDown(0, 0, &right);
  ASSERT_TRUE(f.gfx->GetTextEntry().mOpen);
  // Centre (30.5, 30.5) truncates to (30, 30).
  EXPECT_EQ(f.gfx->GetTextEntry().mRect, IRECT(15, 22, 45, 38));
  EXPECT_EQ(f.gfx->GetTextEntry().mText, "0.50");
  EXPECT_TRUE(pNumber->GetRedraw());
  f.gfx->ForceEndUserEdit();

  pEnum->DisablePrompt(false);
  pEnum->PromptUserInput();
  ASSERT_EQ(f.gfx->GetMenusShown().size(), 1u);
  EXPECT_EQ(f.gfx->GetMenusShown()[0].mRect, IRECT(60, 0, 90, 10));
}
}  // namespace
