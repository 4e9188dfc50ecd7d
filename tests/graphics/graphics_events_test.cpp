#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

namespace
{
using Log = std::vector<std::string>;

// Background over the whole editor, "a" at (10,10)-(50,50) on parameter 1, "b"
// covering part of "a" at (30,30)-(70,70) on parameter 2.
struct EventsFixture : EditorFixture
{
  EventsFixture()
  {
    bg = new RecordingControl(&plug, IRECT(0, 0, 100, 80), -1, &log, "bg");
    a = new RecordingControl(&plug, IRECT(10, 10, 50, 50), 1, &log, "a");
    b = new RecordingControl(&plug, IRECT(30, 30, 70, 70), 2, &log, "b");
    gfx->AttachControl(bg);
    gfx->AttachControl(a);
    gfx->AttachControl(b);
  }
  Log log;
  RecordingControl *bg, *a, *b;
  IMouseMod left{true};
};

TEST(GraphicsEvents, PressGoesToTheLaterAttachedControlAndStartsAGesture)
{
  EventsFixture f;
  f.gfx->OnMouseDown(40, 40, &f.left);
  EXPECT_EQ(f.log, Log({"b down 40,40"}));
  EXPECT_EQ(f.plug.log, std::vector<std::string>({"begin 2"}));
  EXPECT_EQ(f.gfx->GetMouseCapture(), 2);
}

TEST(GraphicsEvents, HitSearchSkipsHiddenAndGrayedControls)
{
  struct Case
  {
    const char* name;
    bool hideB, grayB;
    const char* expected;
  };
  const Case cases[] = {
    {"visible", false, false, "b down 40,40"},
    {"hidden", true, false, "a down 40,40"},
    {"grayed", false, true, "a down 40,40"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EventsFixture f;
    f.b->Hide(c.hideB);
    f.b->GrayOut(c.grayB);
    f.gfx->OnMouseDown(40, 40, &f.left);
    EXPECT_EQ(f.log, Log({c.expected}));
  }
}

TEST(GraphicsEvents, CapturedControlGetsDragsAndReleaseEvenOutsideItself)
{
  EventsFixture f;
  f.gfx->OnMouseDown(15, 15, &f.left);
  f.gfx->OnMouseDrag(15, 15, &f.left);  // same place: not delivered
  f.gfx->OnMouseDrag(60, 62, &f.left);
  f.gfx->OnMouseDrag(58, 62, &f.left);
  f.gfx->OnMouseWheel(90, 5, &f.left, 2);
  f.gfx->OnMouseUp(90, 5, &f.left);
  f.gfx->OnMouseDrag(1, 1, &f.left);  // nothing captured any more
  EXPECT_EQ(f.log, Log({"a down 15,15", "a drag 60,62 45,47", "a drag 58,62 -2,0", "a wheel 90,5 2", "a up 90,5"}));
  EXPECT_EQ(f.plug.log, std::vector<std::string>({"begin 1", "end 1"}));
  EXPECT_EQ(f.gfx->GetMouseCapture(), -1);
}

TEST(GraphicsEvents, ReleaseWithoutCaptureUsesTheHitSearch)
{
  EventsFixture f;
  f.gfx->OnMouseUp(60, 60, &f.left);
  f.gfx->OnMouseUp(90, 75, &f.left);
  EXPECT_EQ(f.log, Log({"b up 60,60", "bg up 90,75"}));
  EXPECT_EQ(f.plug.log, std::vector<std::string>({"end 2"})) << "the background has no parameter";
}

TEST(GraphicsEvents, DoubleClick)
{
  EventsFixture f;
  EXPECT_FALSE(f.gfx->OnMouseDblClick(20, 20, &f.left));
  f.b->SetDblAsSingleClick(true);
  EXPECT_TRUE(f.gfx->OnMouseDblClick(60, 60, &f.left));
  EXPECT_EQ(f.log, Log({"a dbl 20,20", "b down 60,60"}));
  EXPECT_EQ(f.gfx->GetMouseCapture(), 2);
  EXPECT_TRUE(f.plug.log.empty()) << "a double-click turned press begins no gesture";
  EXPECT_FALSE(f.gfx->OnMouseDblClick(200, 200, &f.left));
}

TEST(GraphicsEvents, MouseOverTracksTheHoveredControl)
{
  EventsFixture f;
  EXPECT_FALSE(f.gfx->OnMouseOver(20, 20, &f.left)) << "mouse-over handling starts off";
  EXPECT_TRUE(f.log.empty());

  f.gfx->EnableMouseOver(true);
  EXPECT_TRUE(f.gfx->OnMouseOver(20, 20, &f.left));
  EXPECT_TRUE(f.gfx->OnMouseOver(21, 20, &f.left));
  EXPECT_TRUE(f.gfx->OnMouseOver(60, 60, &f.left));
  EXPECT_TRUE(f.gfx->OnMouseOver(500, 500, &f.left)) << "nothing under the point";
  EXPECT_EQ(f.log, Log({"a over 20,20", "a over 21,20", "b over 60,60", "a out"}));
  EXPECT_EQ(f.gfx->GetMouseOver(), 2);

  f.log.clear();
  f.gfx->OnMouseOut();
  EXPECT_EQ(f.log, Log({"bg out", "a out", "b out"}));
  EXPECT_EQ(f.gfx->GetMouseOver(), -1);
}

TEST(GraphicsEvents, GrayedControlGetsMouseOverOnlyWhenItAllowsIt)
{
  EventsFixture f;
  f.gfx->EnableMouseOver(true);
  f.b->GrayOut(true);
  f.gfx->OnMouseOver(60, 60, &f.left);
  f.b->SetMOWhenGrayed(true);
  f.gfx->OnMouseOver(61, 60, &f.left);
  f.gfx->OnMouseDown(61, 60, &f.left);
  EXPECT_EQ(f.log, Log({"bg over 60,60", "b over 61,60", "bg out", "bg down 61,60"}));
}

TEST(GraphicsEvents, KeysGoToTheControlOrElseTheKeyCatcher)
{
  EventsFixture f;
  Log catcherLog;
  f.gfx->AttachKeyCatcher(new RecordingControl(&f.plug, IRECT(), -1, &catcherLog, "catcher"));
  EXPECT_TRUE(f.gfx->OnKeyDown(20, 20, 7));
  EXPECT_TRUE(f.gfx->OnKeyDown(90, 75, 8));  // background only
  EXPECT_TRUE(f.gfx->OnKeyDown(500, 5, 9));  // nothing at all
  f.gfx->OnMouseDown(60, 60, &f.left);       // capture b: keys follow the capture
  EXPECT_TRUE(f.gfx->OnKeyDown(90, 75, 10));
  EXPECT_EQ(f.log, Log({"a key 7", "b down 60,60", "b key 10"}));
  EXPECT_EQ(catcherLog, Log({"catcher key 8", "catcher key 9"}));
}

TEST(GraphicsEvents, WithoutKeyCatcherBackgroundKeysAreNotHandled)
{
  EventsFixture f;
  EXPECT_FALSE(f.gfx->OnKeyDown(90, 75, 1));
  f.a->keyResult = false;
  EXPECT_FALSE(f.gfx->OnKeyDown(20, 20, 1));
}

TEST(GraphicsEvents, ReplacingTheKeyCatcherDeletesTheOldOne)
{
  int deleted = 0;
  {
    EventsFixture f;
    f.gfx->AttachKeyCatcher(new RecordingControl(&f.plug, IRECT(), -1, nullptr, "k1", &deleted));
    f.gfx->AttachKeyCatcher(new RecordingControl(&f.plug, IRECT(), -1, nullptr, "k2", &deleted));
    EXPECT_EQ(deleted, 1);
  }
  EXPECT_EQ(deleted, 2) << "the editor deletes the catcher it holds";
}

TEST(GraphicsEvents, AutomationQueryRemembersTheClickedParameterOnce)
{
  EventsFixture f;
  EXPECT_EQ(f.gfx->GetParamIdxForPTAutomation(20, 20), 1);
  EXPECT_EQ(f.gfx->GetLastClickedParamForPTAutomation(), 1);
  EXPECT_EQ(f.gfx->GetLastClickedParamForPTAutomation(), -1);
  EXPECT_EQ(f.gfx->GetParamIdxForPTAutomation(90, 75), -1) << "background only";
  f.gfx->OnMouseDown(60, 60, &f.left);
  EXPECT_EQ(f.gfx->GetParamIdxForPTAutomation(20, 20), 2) << "the captured control wins";
}

TEST(GraphicsEvents, ResizeDeletesControlsReleasesCaptureAndKeepsCatcher)
{
  int deleted = 0;
  EditorFixture f;
  Log log;
  f.gfx->AttachControl(new RecordingControl(&f.plug, IRECT(0, 0, 10, 10), 0, &log, "x", &deleted));
  f.gfx->AttachControl(new RecordingControl(&f.plug, IRECT(0, 0, 10, 10), 0, &log, "y", &deleted));
  f.gfx->AttachKeyCatcher(new RecordingControl(&f.plug, IRECT(), -1, &log, "k", &deleted));
  f.gfx->EnableMouseOver(true);
  IMouseMod left(true);
  f.gfx->OnMouseOver(5, 5, &left);
  f.gfx->OnMouseDown(5, 5, &left);
  f.gfx->Resize(50, 40);
  EXPECT_EQ(f.gfx->NControls(), 0);
  EXPECT_EQ(deleted, 2);
  EXPECT_EQ(f.gfx->GetMouseCapture(), -1);
  EXPECT_EQ(f.gfx->GetMouseOver(), 1) << "the hovered index is left as it was";
  EXPECT_EQ(f.gfx->Width(), 50);
  EXPECT_EQ(f.gfx->GetDrawBitmap()->getWidth(), 50);
  EXPECT_EQ(f.plug.log.back(), "resize 50x40");
  EXPECT_NE(f.gfx->GetKeyCatcher(), nullptr);

  // The stale hovered index must not reach a deleted control.
  f.gfx->AttachControl(new RecordingControl(&f.plug, IRECT(0, 0, 10, 10), -1, &log, "z"));
  log.clear();
  f.gfx->OnMouseOver(5, 5, &left);
  EXPECT_EQ(log, Log({"z over 5,5"}));
}

TEST(GraphicsEvents, IdleReachesEveryControlInOrder)
{
  EventsFixture f;
  f.gfx->OnGUIIdle();
  EXPECT_EQ(f.log, Log({"bg idle", "a idle", "b idle"}));
}
}  // namespace
