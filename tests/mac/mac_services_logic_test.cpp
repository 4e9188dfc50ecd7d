// What the Mac graphics host decides around the system services: image names, message boxes,
// file dialogs, URLs, folders, the hidden cursor and the child window over a host window.

#include <gtest/gtest.h>

#include <climits>

#include "MacServicesLogic.h"
#include "wdlstring.h"

using namespace mac_services;

namespace
{
TEST(MacImages, FileNamesBecomeBundleResourceNames)
{
  struct Case
  {
    const char* name;
    const char* fileName;
    const char* resource;  // null: refused
  };
  const Case cases[] = {
    {"the editor's images", "resources/img/knob.png", "knob"},
    {"the extension in any case", "resources/img/TESK.PNG", "TESK"},
    {"mixed case", "faderhandle.Png", "faderhandle"},
    {"only the last component is looked up", "/somewhere/else/buttonOn.png", "buttonOn"},
    {"dots in folders do not matter", "v1.2/img/smallhandles.png", "smallhandles"},
    {"only the last extension goes", "background.old.png", "background.old"},
    {"another type", "resources/img/knob.jpg", nullptr},
    {"no extension", "resources/img/knob", nullptr},
    {"an extension that only starts with png", "knob.pngx", nullptr},
    {"a folder named like an image", "img.png/", nullptr},
    {"nothing left once the extension is gone", "resources/.png", nullptr},
    {"an empty name", "", nullptr},
    {"no name", nullptr, nullptr},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    const auto r = ImageResourceName(c.fileName);
    if (c.resource)
    {
      ASSERT_TRUE(r.has_value());
      EXPECT_EQ(c.resource, *r);
    }
    else
    {
      EXPECT_FALSE(r.has_value()) << *r;
    }
  }
}

TEST(MacMessageBox, ButtonsFollowTheType)
{
  struct Case
  {
    int type;
    const char *def, *alt, *other;
  };
  const Case cases[] = {
    {4, "Yes", "No", nullptr},      {3, "Yes", "No", "Cancel"},     {1, nullptr, "Cancel", nullptr},
    {0, nullptr, nullptr, nullptr}, {2, nullptr, nullptr, nullptr}, {-1, nullptr, nullptr, nullptr},
  };
  auto same = [](const char* a, const char* b) { return (!a && !b) || (a && b && std::string(a) == b); };
  for (const Case& c : cases)
  {
    const MessageBoxButtons b = MessageBoxButtonsFor(c.type);
    EXPECT_TRUE(same(c.def, b.defaultButton)) << c.type;
    EXPECT_TRUE(same(c.alt, b.alternateButton)) << c.type;
    EXPECT_TRUE(same(c.other, b.otherButton)) << c.type;
  }
}

TEST(MacMessageBox, ThePressedButtonIsReported)
{
  using R = AlertResponse;
  struct Case
  {
    const char* name;
    int type;
    R response;
    int result;
  };
  const Case cases[] = {
    {"yes/no: Yes", 4, R::kDefault, 1},
    {"yes/no: No", 4, R::kAlternate, 7},
    {"yes/no/cancel: Yes", 3, R::kDefault, 1},
    {"yes/no/cancel: No", 3, R::kAlternate, 7},
    {"yes/no/cancel: Cancel", 3, R::kOther, 2},
    {"ok/cancel: OK", 1, R::kDefault, 1},
    {"ok/cancel: Cancel is a cancel, not a no", 1, R::kAlternate, 2},
    {"ok: OK", 0, R::kDefault, 1},
    {"the alert was cancelled", 4, R::kCancel, 0},
    {"the alert could not be shown", 4, R::kFailed, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.result, MessageBoxResult(c.type, c.response));
  }
}

TEST(MacFileDialog, ExtensionsSplitAtSpaces)
{
  EXPECT_EQ((std::vector<std::string>{"fxp", "fxb"}), SplitExtensions("fxp fxb"));
  EXPECT_EQ((std::vector<std::string>{"wav", "aif"}), SplitExtensions("  wav  aif "));
  EXPECT_TRUE(SplitExtensions("").empty()) << "no extensions allow every file";
  EXPECT_TRUE(SplitExtensions(nullptr).empty());
}

TEST(MacFileDialog, PlanningDoesTheFolderBookkeeping)
{
  // An empty folder gets the default folder, stored back even if the dialog is then cancelled.
  WDL_String file("old.fxp"), dir("");
  auto plan = PlanFileDialog(&file, kFileSave, &dir, "fxp", true);
  ASSERT_TRUE(plan.has_value());
  EXPECT_TRUE(plan->save);
  EXPECT_EQ("old.fxp", plan->fileName);
  EXPECT_EQ("~/Desktop", plan->folder);
  EXPECT_EQ((std::vector<std::string>{"fxp"}), plan->types);
  EXPECT_STREQ("", file.Get()) << "the file string stays empty unless a file is chosen";
  EXPECT_STREQ("~/Desktop", dir.Get());

  // A folder the caller has is kept; any action but save opens.
  WDL_String file2(""), dir2("/Users/me/Presets/");
  plan = PlanFileDialog(&file2, kFileOpen, &dir2, "", true);
  ASSERT_TRUE(plan.has_value());
  EXPECT_FALSE(plan->save);
  EXPECT_EQ("/Users/me/Presets/", plan->folder);
  EXPECT_TRUE(plan->types.empty());
  EXPECT_STREQ("/Users/me/Presets/", dir2.Get());

  // Without a folder string the default folder is only used.
  WDL_String file3("x");
  plan = PlanFileDialog(&file3, kFileOpen, nullptr, "fxb", true);
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ("~/Desktop", plan->folder);

  // No open window: no dialog, and the file string is emptied.
  WDL_String file4("keep?"), dir4("");
  EXPECT_FALSE(PlanFileDialog(&file4, kFileOpen, &dir4, "fxp", false).has_value());
  EXPECT_STREQ("", file4.Get());
  EXPECT_STREQ("", dir4.Get());

  EXPECT_FALSE(PlanFileDialog(nullptr, kFileOpen, &dir4, "fxp", true).has_value()) << "no file string to answer in";
}

TEST(MacFileDialog, AChoiceSetsTheFileAndItsFolder)
{
  struct Case
  {
    const char* chosen;
    const char* folder;
  };
  const Case cases[] = {
    {"/Users/me/Presets/bright.fxp", "/Users/me/Presets/"},
    {"/bright.fxp", "/"},
  };
  for (const Case& c : cases)
  {
    WDL_String file(""), dir("~/Desktop");
    RecordFileChoice(c.chosen, &file, &dir);
    EXPECT_STREQ(c.chosen, file.Get());
    EXPECT_STREQ(c.folder, dir.Get());
  }
  WDL_String file("");
  RecordFileChoice("/a/b.fxp", &file, nullptr);
  EXPECT_STREQ("/a/b.fxp", file.Get());
}

TEST(MacServices, URLsFoldersAndTheDesktop)
{
  EXPECT_EQ(URLKind::kWeb, KindOfURL("https://www.example.org/manual"));
  EXPECT_EQ(URLKind::kWeb, KindOfURL("see http here"));  // any text containing "http"
  EXPECT_EQ(URLKind::kFile, KindOfURL("/Library/Audio/manual.pdf"));
  EXPECT_EQ(URLKind::kNone, KindOfURL(""));
  EXPECT_EQ(URLKind::kNone, KindOfURL(nullptr));

  struct Case
  {
    const char* path;
    const char* parent;
  };
  const Case cases[] = {
    {"/Library/Audio/Plug-Ins/Components/Tesk.component", "/Library/Audio/Plug-Ins/Components/"},
    {"/Library/Audio/Plug-Ins/Components/Tesk.component/", "/Library/Audio/Plug-Ins/Components/"},
    {"/Tesk.component", "/"},
    {"/", "/"},
    {"Tesk.component", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.parent, ParentFolder(c.path)) << c.path;

  EXPECT_EQ("/Users/me/Desktop/", DesktopFolder("/Users/me"));
  EXPECT_EQ("/Desktop/", DesktopFolder(nullptr));
}

TEST(MacServices, HiddenCursorPointIsTopDown)
{
  struct Case
  {
    double x, y, displayHeight;
    int sx, sy;
  };
  const Case cases[] = {{100.7, 200.2, 900, 100, 699}, {0, 0, 900, 0, 900}, {5, 900, 900, 5, 0}};
  for (const Case& c : cases)
  {
    const ScreenPoint p = TopDownCursorPoint(c.x, c.y, c.displayHeight);
    EXPECT_EQ(c.sx, p.x);
    EXPECT_EQ(c.sy, p.y);
  }
}

TEST(MacWindows, TheChildWindowIsCentredOverAWiderHostWindow)
{
  struct Case
  {
    double hostWidth;
    int editorWidth;
    int offset;
  };
  const Case cases[] = {{625, 425, 100}, {626, 425, 100}, {425, 425, 0}, {300, 425, 0}, {426, 425, 0}};
  for (const Case& c : cases) EXPECT_EQ(c.offset, ChildWindowXOffset(c.hostWidth, c.editorWidth)) << c.hostWidth;
}
}  // namespace
