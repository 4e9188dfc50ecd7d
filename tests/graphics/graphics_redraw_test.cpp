#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

namespace
{
using Log = std::vector<std::string>;

// Background, "a" at (10,10)-(30,30), "b" at (60,10)-(80,30) (apart from "a"), and
// "c" at (25,25)-(40,40) (overlapping "a").
struct RedrawFixture : EditorFixture
{
  RedrawFixture()
  {
    bg = Add(IRECT(0, 0, 100, 80), "bg");
    a = Add(IRECT(10, 10, 30, 30), "a");
    b = Add(IRECT(60, 10, 80, 30), "b");
    c = Add(IRECT(25, 25, 40, 40), "c");
  }
  RecordingControl* Add(IRECT r, const char* name)
  {
    RecordingControl* p = new RecordingControl(&plug, r, -1, &log, name);
    gfx->AttachControl(p);
    return p;
  }
  void CleanAll()
  {
    for (int i = 0; i < gfx->NControls(); ++i)
    {
      gfx->GetControl(i)->SetClean();
      gfx->GetControl(i)->SetClean();
    }
  }
  Log log;
  RecordingControl *bg, *a, *b, *c;
};

TEST(GraphicsRedraw, NoControlsDrawsNothingAndSkipsTheScreen)
{
  EditorFixture f;
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(f.gfx->Draw(&r));
  EXPECT_EQ(f.gfx->GetDrawScreenCount(), 0);
}

TEST(GraphicsRedraw, IsDirtyUnitesTheDirtyRectangles)
{
  RedrawFixture f;
  f.CleanAll();
  IRECT r;
  EXPECT_FALSE(f.gfx->IsDirty(&r));
  EXPECT_TRUE(r.Empty());
  f.a->SetDirty(false);
  f.b->SetDirty(false);
  EXPECT_TRUE(f.gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 10, 80, 30));
}

TEST(GraphicsRedraw, StrictDrawsWhatMeetsTheAreaAndCleansEverything)
{
  RedrawFixture f;
  f.CleanAll();
  f.b->Hide(true);  // dirty, but hidden: cleaned without drawing
  f.b->SetClean();
  ASSERT_TRUE(f.b->IsDirty());
  IRECT r(0, 0, 20, 20);
  EXPECT_TRUE(f.gfx->Draw(&r));
  EXPECT_EQ(f.log, Log({"bg draw", "a draw"}));
  EXPECT_EQ(*f.gfx->GetDrawRECT(), r);
  EXPECT_EQ(f.gfx->GetDrawScreenCount(), 1);
  IRECT dirty;
  EXPECT_FALSE(f.gfx->IsDirty(&dirty)) << "a hidden control stops being reported dirty";
}

TEST(GraphicsRedraw, StrictAreaTouchingAControlEdgeStillDrawsIt)
{
  RedrawFixture f;
  IRECT r(0, 0, 10, 10);  // ends exactly where "a" begins
  f.gfx->Draw(&r);
  EXPECT_EQ(f.log, Log({"bg draw", "a draw"}));
}

TEST(GraphicsRedraw, NonStrictRedrawsAroundEachDirtyControl)
{
  RedrawFixture f;
  f.gfx->SetStrictDrawing(false);
  f.CleanAll();
  f.a->SetDirty(false);
  f.b->SetDirty(false);
  IRECT r(0, 0, 100, 80);
  f.gfx->Draw(&r);
  // Around "a": the background and "c" meet it; around "b": only the background.
  EXPECT_EQ(f.log, Log({"bg draw", "a draw", "c draw", "bg draw", "b draw"}));
  EXPECT_EQ(*f.gfx->GetDrawRECT(), IRECT(60, 10, 80, 30));
  EXPECT_FALSE(f.a->IsDirty());
  EXPECT_FALSE(f.c->IsDirty());
}

TEST(GraphicsRedraw, NonStrictDirtyBackgroundRedrawsEverythingVisible)
{
  RedrawFixture f;
  f.gfx->SetStrictDrawing(false);
  f.CleanAll();
  f.c->Hide(true);
  f.bg->SetDirty(false);
  IRECT r(0, 0, 100, 80);
  f.gfx->Draw(&r);
  EXPECT_EQ(f.log, Log({"bg draw", "a draw", "b draw"}));
  EXPECT_EQ(*f.gfx->GetDrawRECT(), IRECT(0, 0, 100, 80));
}

TEST(GraphicsRedraw, SetStrictDrawingMarksEveryControlWithoutPushing)
{
  RedrawFixture f;
  f.CleanAll();
  f.gfx->SetStrictDrawing(false);
  IRECT r;
  EXPECT_TRUE(f.gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 100, 80));
  EXPECT_TRUE(f.plug.fromGUI.empty());
}

TEST(GraphicsParams, EveryBoundControlAndAuxiliaryFollowerIsServed)
{
  EditorFixture f;
  f.plug.GetParam(1)->InitDouble("Freq", 0.0, 0.0, 200.0, 1.0);
  PlainControl* p1 = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 1);
  PlainControl* p2 = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 1);
  PlainControl* other = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 2);
  other->AddAuxParam(3);
  other->AddAuxParam(1);
  for (IControl* c : {static_cast<IControl*>(p1), static_cast<IControl*>(p2), static_cast<IControl*>(other)})
    f.gfx->AttachControl(c);

  f.gfx->SetParameterFromPlug(1, 50.0, false);
  EXPECT_DOUBLE_EQ(p1->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(p2->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(other->GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(other->GetAuxParam(1)->mValue, 0.25);

  f.gfx->SetParameterFromPlug(1, 0.5, true);
  EXPECT_DOUBLE_EQ(p2->GetValue(), 0.5);
  f.gfx->SetParameterFromPlug(99, 0.5, false);  // no such parameter: ignored
}

TEST(GraphicsParams, ControlFromPlugIgnoresIndexesOutOfRange)
{
  EditorFixture f;
  PlainControl* p = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 0);
  f.gfx->AttachControl(p);
  f.gfx->SetControlFromPlug(0, 0.4);
  f.gfx->SetControlFromPlug(1, 0.9);
  f.gfx->SetControlFromPlug(-1, 0.9);
  EXPECT_DOUBLE_EQ(p->GetValue(), 0.4);
}

TEST(GraphicsParams, StateByParameterReachesEveryMatchingControl)
{
  EditorFixture f;
  f.plug.GetParam(2)->InitDouble("Level", 0.0, -10.0, 10.0, 0.1);
  PlainControl* p1 = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 2);
  PlainControl* p2 = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 2);
  PlainControl* p3 = new PlainControl(&f.plug, IRECT(0, 0, 5, 5), 3);
  f.gfx->AttachControl(p1);
  f.gfx->AttachControl(p2);
  f.gfx->AttachControl(p3);
  f.gfx->HideControl(2, true);
  f.gfx->GrayOutControl(2, true);
  f.gfx->ClampControl(2, -5.0, 5.0, false);
  for (PlainControl* p : {p1, p2})
  {
    EXPECT_TRUE(p->IsHidden());
    EXPECT_TRUE(p->IsGrayed());
    EXPECT_DOUBLE_EQ(p->GetClampLo(), 0.25);
    EXPECT_DOUBLE_EQ(p->GetClampHi(), 0.75);
  }
  EXPECT_FALSE(p3->IsHidden());
  EXPECT_DOUBLE_EQ(p3->GetClampHi(), 1.0);
  f.gfx->ClampControl(3, 0.1, 0.2, true);
  EXPECT_DOUBLE_EQ(p3->GetClampLo(), 0.1);
}

TEST(GraphicsParams, AttachingTheEditorPushesParameterValuesFirst)
{
  TestPlug plug;
  plug.GetParam(0)->Set(0.6);
  IGraphicsHeadless* gfx = new IGraphicsHeadless(&plug, 40, 30, 0);
  PlainControl* p = new PlainControl(&plug, IRECT(0, 0, 5, 5), 0);
  gfx->AttachControl(p);
  plug.AttachGraphics(gfx);
  EXPECT_DOUBLE_EQ(p->GetValue(), 0.6);
  EXPECT_DOUBLE_EQ(p->GetDefaultValue(), 0.6);
  EXPECT_EQ(gfx->GetDrawBitmap()->getWidth(), 40);
  EXPECT_EQ(gfx->FPS(), 25);
}
}  // namespace
