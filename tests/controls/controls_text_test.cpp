// The caption, the link area and the file selector.

#include <gtest/gtest.h>

#include <string>

#include "ControlsTestSupport.h"

namespace
{
// ---- Caption ----

std::string Display(IParam* pParam)
{
  char buf[MAX_PARAM_DISPLAY_LEN] = {};
  pParam->GetDisplayForHost(buf, true);
  return buf;
}

TEST(ICaptionControl, ShowsTheDisplayStringAndOptionallyTheLabel)
{
  ControlsEditor ed;
  IParam* gain = ed.plug.GetParam(0);
  gain->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
  gain->Set(-6.5);
  const IText style;
  auto* withLabel = ed.Attach(new ICaptionControl(&ed.plug, IRECT(0, 0, 80, 20), 0, &style, true));
  auto* withoutLabel = ed.Attach(new ICaptionControl(&ed.plug, IRECT(0, 20, 80, 40), 0, &style, false));
  EXPECT_EQ(withLabel->ParamIdx(), 0);
  ed.gfx->DrawAll();
  const std::string shown = Display(gain);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(std::string(withLabel->GetTextForPlug()), shown + " dB");
  EXPECT_EQ(std::string(withoutLabel->GetTextForPlug()), shown);

  gain->Set(12.0);  // the caption follows the parameter at its next draw
  ed.gfx->DrawAll();
  EXPECT_EQ(std::string(withoutLabel->GetTextForPlug()), Display(gain));
  EXPECT_NE(Display(gain), shown);
}

TEST(ICaptionControl, ShowsTheDisplayTextOfANamedValue)
{
  ControlsEditor ed;
  IParam* mode = ed.plug.GetParam(1);
  mode->InitEnum("Mode", 1, 3);
  mode->SetDisplayText(0, "Low");
  mode->SetDisplayText(1, "Mid");
  mode->SetDisplayText(2, "High");
  const IText style;
  auto* caption = ed.Attach(new ICaptionControl(&ed.plug, IRECT(0, 0, 80, 20), 1, &style, false));
  ed.gfx->DrawAll();
  EXPECT_STREQ(caption->GetTextForPlug(), "Mid");
}

TEST(ICaptionControl, DrawsItsText)
{
  ControlsEditor ed;
  const IColor black(255, 0, 0, 0), white(255, 255, 255, 255);
  ed.gfx->AttachPanelBackground(&black);
  ed.plug.GetParam(0)->Set(0.5);
  const IText style(14, &white);
  ed.Attach(new ICaptionControl(&ed.plug, IRECT(10, 10, 90, 30), 0, &style, false));
  ed.gfx->DrawAll();
  int lit = 0;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 90; ++x) lit += ed.gfx->GetPoint(x, y).R > 128;
  EXPECT_GT(lit, 10);
  EXPECT_EQ(ed.Pixel(5, 5), black.ToPixel()) << "text stays in its box";
}

struct CaptionPromptCase
{
  const char* name;
  IMouseMod mod;
  bool doubleClick;
  bool promptEnabled;
  bool prompted;
};

TEST(ICaptionControl, PressOrDoubleClickOpensThePrompt)
{
  const CaptionPromptCase cases[] = {
    {"left press", IMouseMod(true), false, true, true},
    {"right press", IMouseMod(false, true), false, true, true},
    {"press without a button flag", IMouseMod(), false, true, false},
    {"double-click", IMouseMod(true), true, true, true},
    {"prompting disabled", IMouseMod(true), false, false, false},
  };
  for (const CaptionPromptCase& c : cases)
  {
    ControlsEditor ed;
    const IText style;
    auto* caption = ed.Attach(new ICaptionControl(&ed.plug, IRECT(0, 0, 80, 20), 2, &style));
    caption->DisablePrompt(!c.promptEnabled);
    if (c.doubleClick)
      ed.DblClick(5, 5, c.mod);
    else
      ed.Press(5, 5, c.mod);
    EXPECT_EQ(ed.gfx->GetTextEntry().mOpen, c.prompted) << c.name;
    if (c.prompted)
    {
      EXPECT_EQ(ed.gfx->GetTextEntry().mParam, ed.plug.GetParam(2)) << c.name;
    }
  }
}

TEST(ICaptionControl, TypedValueReachesThePlugIn)
{
  ControlsEditor ed;
  const IText style;
  auto* caption = ed.Attach(new ICaptionControl(&ed.plug, IRECT(0, 0, 80, 20), 0, &style));
  caption->DisablePrompt(false);
  ed.gfx->QueueTextEntry("0.25");
  ed.Press(5, 5);
  EXPECT_DOUBLE_EQ(caption->GetValue(), 0.25);
  ASSERT_EQ(ed.plug.pushes.size(), 1u);
  EXPECT_DOUBLE_EQ(ed.plug.pushes[0], 0.25);
}

// ---- Link area ----

struct URLCase
{
  const char* name;
  const char* url;
  const char* backup;
  bool openSucceeds;
  std::vector<std::string> opened;
};

TEST(IURLControl, OpensTheAddressOrFallsBackToTheBackup)
{
  const URLCase cases[] = {
    {"address opens", "http://a.example", "", true, {"http://a.example"}},
    {"working address needs no backup", "http://a.example", "http://b.example", true, {"http://a.example"}},
    {"failing address falls back",
     "http://a.example",
     "http://b.example",
     false,
     {"http://a.example", "http://b.example"}},
    {"failing address without backup", "http://a.example", nullptr, false, {"http://a.example"}},
    {"empty address uses the backup", "", "http://b.example", true, {"http://b.example"}},
    {"no address at all", nullptr, nullptr, true, {}},
  };
  for (const URLCase& c : cases)
  {
    ControlsEditor ed;
    ed.gfx->SetOpenURLResult(c.openSucceeds);
    ed.Attach(new IURLControl(&ed.plug, IRECT(0, 0, 20, 20), c.url, c.backup, "Visit"));
    ed.Press(5, 5);
    EXPECT_EQ(ed.gfx->GetURLsOpened(), c.opened) << c.name;
  }
}

TEST(IURLControl, LongTextsAreCutToTheirBuffers)
{
  const std::string longURL = "http://x.example/" + std::string(700, 'p');
  IURLControl link(nullptr, IRECT(0, 0, 1, 1), longURL.c_str(), longURL.c_str(), longURL.c_str());
  EXPECT_EQ(std::string(link.GetURL()), longURL.substr(0, IURLControl::URL_LEN - 1));
  EXPECT_EQ(std::string(link.GetBackupURL()), longURL.substr(0, IURLControl::URL_LEN - 1));
  EXPECT_EQ(std::string(link.GetMessage()), longURL.substr(0, IURLControl::URL_LEN - 1));
  link.OnMouseDown(0, 0, nullptr);  // no editor: nothing to open with
}

TEST(IURLControl, DrawsNothing)
{
  ControlsEditor ed;
  ed.Attach(new IURLControl(&ed.plug, IRECT(0, 0, 20, 20), "http://a.example"));
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(5, 5), 0u);
}

// ---- File selector ----

TEST(IFileSelectorControl, PressRunsTheDialogAndFlipsTheValue)
{
  FramesBitmap face(20, 20, 1);
  ControlsEditor ed;
  auto* selector = ed.Attach(
    new IFileSelectorControl(&ed.plug, IRECT(0, 0, 20, 20), 3, &face.bitmap, kFileOpen, "/start/", "wav aif"));
  ed.gfx->QueueFileChoice("/music/take1.wav");
  ed.gfx->QueueFileChoice("");  // the user cancels the second dialog
  const struct
  {
    double value;
    const char* file;
    const char* dir;
  } rows[] = {
    {1.0, "/music/take1.wav", "/music/"},
    {0.0, "", "/music/"},
  };
  for (const auto& row : rows)
  {
    ed.Press(5, 5);
    ed.Release(5, 5);
    EXPECT_EQ(selector->GetValue(), row.value);
    EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSDone);
    WDL_String file;
    selector->GetLastSelectedFileForPlug(&file);
    EXPECT_STREQ(file.Get(), row.file);
    EXPECT_STREQ(selector->GetDir(), row.dir);
  }
  EXPECT_EQ(ed.plug.pushes, (std::vector<double>{1.0, 0.0}));
}

TEST(IFileSelectorControl, ReportsDirtyOnceMoreAfterAChoice)
{
  FramesBitmap face(20, 20, 1);
  ControlsEditor ed;
  auto* selector = ed.Attach(new IFileSelectorControl(&ed.plug, IRECT(0, 0, 20, 20), -1, &face.bitmap, kFileSave));
  ed.gfx->DrawAll();
  IRECT r;
  EXPECT_FALSE(ed.gfx->IsDirty(&r)) << "clean and idle";

  ed.gfx->QueueFileChoice("/tmp/out.txt");
  ed.Press(5, 5);
  ed.gfx->DrawAll();  // the redraw cleans the control, the finished choice remains
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSDone);
  r = IRECT();
  EXPECT_TRUE(ed.gfx->IsDirty(&r));
  EXPECT_EQ(r, IRECT(0, 0, 20, 20));
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSNone);
  r = IRECT();
  EXPECT_FALSE(ed.gfx->IsDirty(&r));
}

TEST(IFileSelectorControl, DoesNothingWithoutAnEditor)
{
  FramesBitmap face(20, 20, 1);
  ControlsTestPlug plug;
  IFileSelectorControl selector(&plug, IRECT(0, 0, 20, 20), 0, &face.bitmap, kFileOpen);
  selector.OnMouseDown(5, 5, nullptr);
  EXPECT_EQ(selector.GetState(), IFileSelectorControl::kFSNone);
  EXPECT_EQ(selector.GetValue(), 0.0);
  EXPECT_TRUE(plug.pushes.empty());
}

TEST(IFileSelectorControl, ShowsItsBitmapOnlyWhileSelectingAndKeepsTheFileFromThePlugIn)
{
  FramesBitmap face(20, 20, 1);
  ControlsEditor ed;
  auto* selector = ed.Attach(new IFileSelectorControl(&ed.plug, IRECT(0, 0, 20, 20), -1, &face.bitmap, kFileOpen));
  ed.gfx->DrawAll();
  EXPECT_EQ(ed.Pixel(5, 5), 0u);

  selector->SetLastSelectedFileFromPlug("/saved/preset.fxp");
  WDL_String file;
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/saved/preset.fxp");
}
}  // namespace
