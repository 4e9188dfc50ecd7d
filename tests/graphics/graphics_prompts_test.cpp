#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "IPopupMenu.h"

namespace
{
// Parameter 0: enumeration "lo"/"mid"/"hi" at "mid"; 1: boolean; 2: double 0..100;
// 3: double -10..10 shown negated.
struct PromptFixture : EditorFixture
{
  PromptFixture()
    : EditorFixture(4, 100, 80, false)
  {
    IParam* e = plug.GetParam(0);
    e->InitEnum("Shape", 1, 3);
    e->SetDisplayText(0, "lo");
    e->SetDisplayText(1, "mid");
    e->SetDisplayText(2, "hi");
    plug.GetParam(1)->InitBool("On", false);
    plug.GetParam(2)->InitDouble("Level", 25.0, 0.0, 100.0, 0.5, "%");
    plug.GetParam(3)->InitDouble("Trim", 2.0, -10.0, 10.0, 1.0);
    plug.GetParam(3)->NegateDisplay();
    for (int i = 0; i < 4; ++i)
    {
      controls[i] = new PlainControl(&plug, IRECT(0, 0, 20, 20), i);
      gfx->AttachControl(controls[i]);
    }
  }
  void Prompt(int i)
  {
    IRECT r(1, 2, 3, 4);
    gfx->PromptUserInput(controls[i], plug.GetParam(i), &r);
  }
  PlainControl* controls[4];
};

TEST(GraphicsPrompts, EnumerationOpensAMenuWithTheCurrentTextChecked)
{
  PromptFixture f;
  f.gfx->QueueMenuChoice(2);
  f.Prompt(0);
  ASSERT_EQ(f.gfx->GetMenusShown().size(), 1u);
  const IGraphicsHeadless::MenuShown& m = f.gfx->GetMenusShown()[0];
  EXPECT_EQ(m.mItems, std::vector<std::string>({"lo", "mid", "hi"}));
  EXPECT_EQ(m.mFlags, std::vector<int>({0, IPopupMenuItem::kChecked, 0}));
  EXPECT_DOUBLE_EQ(f.controls[0]->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(f.plug.GetParam(0)->Value(), 2.0);
}

TEST(GraphicsPrompts, DismissedMenuChangesNothing)
{
  PromptFixture f;
  f.controls[0]->SetValueFromPlug(0.5);
  f.Prompt(0);  // nothing queued: the user dismisses the menu
  EXPECT_DOUBLE_EQ(f.controls[0]->GetValue(), 0.5);
  EXPECT_TRUE(f.plug.fromGUI.empty());
}

TEST(GraphicsPrompts, BooleanWithTextsUsesAMenuToo)
{
  PromptFixture f;
  f.gfx->QueueMenuChoice(1);
  f.Prompt(1);
  ASSERT_EQ(f.gfx->GetMenusShown().size(), 1u);
  EXPECT_EQ(f.gfx->GetMenusShown()[0].mItems, std::vector<std::string>({"off", "on"}));
  EXPECT_DOUBLE_EQ(f.plug.GetParam(1)->Value(), 1.0);
}

TEST(GraphicsPrompts, NumbersOpenATextEntryWithThePlainDisplay)
{
  PromptFixture f;
  f.Prompt(2);
  const IGraphicsHeadless::TextEntry& te = f.gfx->GetTextEntry();
  ASSERT_TRUE(te.mOpen);
  EXPECT_EQ(te.mText, "25.0");
  EXPECT_EQ(te.mRect, IRECT(1, 2, 3, 4));
  EXPECT_EQ(te.mParam, f.plug.GetParam(2));
  EXPECT_TRUE(f.gfx->CommitTextEntry("40"));
  EXPECT_DOUBLE_EQ(f.controls[2]->GetValue(), 0.4);
  EXPECT_DOUBLE_EQ(f.plug.GetParam(2)->Value(), 40.0);
}

TEST(GraphicsPrompts, NullArgumentsDoNothing)
{
  PromptFixture f;
  IRECT r;
  f.gfx->PromptUserInput(nullptr, f.plug.GetParam(2), &r);
  f.gfx->PromptUserInput(f.controls[2], nullptr, &r);
  f.gfx->PromptUserInput(f.controls[2], f.plug.GetParam(2), nullptr);
  EXPECT_FALSE(f.gfx->GetTextEntry().mOpen);
  EXPECT_TRUE(f.gfx->GetMenusShown().empty());
}

TEST(GraphicsPrompts, TypedTextIsReadAsTheParameterExpects)
{
  struct Case
  {
    const char* name;
    int param;
    const char* typed;
    double plain;  // the parameter's value afterwards
  };
  const Case cases[] = {
    {"a plain number", 2, "12.5", 12.5},
    {"a leading number with a unit", 2, "60 %", 60.0},
    {"no number", 2, "abc", 0.0},
    {"not-a-number text", 2, "nan", 0.0},
    {"infinity", 2, "inf", 0.0},
    {"hexadecimal is not decimal", 2, "0x20", 0.0},
    {"out of range is limited", 2, "250", 100.0},
    {"negated display", 3, "4", -4.0},
    {"display text", 0, "hi", 2.0},
    {"unknown display text", 0, "HI", 0.0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    PromptFixture f;
    f.controls[c.param]->SetValueFromPlug(0.5);  // so that 0 is a change
    f.gfx->SetFromStringAfterPrompt(f.controls[c.param], f.plug.GetParam(c.param), c.typed);
    EXPECT_DOUBLE_EQ(f.plug.GetParam(c.param)->Value(), c.plain);
  }
}
}  // namespace
