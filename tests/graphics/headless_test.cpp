#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "GraphicsTestSupport.h"
#include "IPopupMenu.h"
#include "wdlstring.h"

namespace
{
std::string TempPath(const char* name)
{
  return std::string(testing::TempDir()) + "/" + std::to_string(getpid()) + "_" + name;
}

TEST(HeadlessSnapshot, WritesTheSurfaceOrARectangleAsAnOpaquePNG)
{
  EditorFixture f;
  const IColor half(128, 10, 200, 30), red = COLOR_RED;
  IRECT all(0, 0, 100, 80), corner(90, 70, 100, 80);
  f.gfx->FillIRect(&half, &all, nullptr);
  IChannelBlend clobber(IChannelBlend::kBlendClobber);
  f.gfx->FillIRect(&half, &all, &clobber);
  f.gfx->FillIRect(&red, &corner, &clobber);

  const std::string whole = TempPath("whole.png"), part = TempPath("part.png");
  ASSERT_TRUE(f.gfx->WriteSnapshotPNG(whole.c_str()));
  IRECT area(85, 65, 120, 120);  // reaches past the surface: cut to it
  ASSERT_TRUE(f.gfx->WriteSnapshotPNG(part.c_str(), &area));

  std::unique_ptr<LICE_IBitmap> w(LICE_LoadPNG(whole.c_str()));
  std::unique_ptr<LICE_IBitmap> p(LICE_LoadPNG(part.c_str()));
  ASSERT_TRUE(w && p);
  EXPECT_EQ(w->getWidth(), 100);
  EXPECT_EQ(w->getHeight(), 80);
  EXPECT_EQ(IColor::FromPixel(LICE_GetPixel(w.get(), 0, 0)), IColor(255, 10, 200, 30)) << "alpha is not shown";
  EXPECT_EQ(p->getWidth(), 15);
  EXPECT_EQ(p->getHeight(), 15);
  EXPECT_EQ(IColor::FromPixel(LICE_GetPixel(p.get(), 5, 5)), red);
  EXPECT_EQ(IColor::FromPixel(LICE_GetPixel(p.get(), 4, 4)), IColor(255, 10, 200, 30));
  std::remove(whole.c_str());
  std::remove(part.c_str());

  IRECT outside(200, 200, 210, 210);
  EXPECT_FALSE(f.gfx->WriteSnapshotPNG(part.c_str(), &outside));
  EXPECT_FALSE(f.gfx->WriteSnapshotPNG("/nonexistent-folder/x.png"));
}

TEST(HeadlessDialogs, FileDialogAnswersFromTheQueue)
{
  EditorFixture f;
  WDL_String file("preset.fxp"), dir("");
  f.gfx->QueueFileChoice("/tmp/banks/mine.fxb");
  f.gfx->PromptForFile(&file, kFileSave, &dir, "fxb");
  EXPECT_STREQ(file.Get(), "/tmp/banks/mine.fxb");
  EXPECT_STREQ(dir.Get(), "/tmp/banks/");

  f.gfx->QueueFileChoice("");  // the user cancels
  f.gfx->PromptForFile(&file, kFileOpen, &dir, "fxb");
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(dir.Get(), "/tmp/banks/") << "a cancelled dialog keeps the folder";

  WDL_String empty("");
  f.gfx->PromptForFile(&file, kFileOpen, &empty, "fxp");
  const std::string desktop = empty.Get();
  EXPECT_GE(desktop.size(), 9u);
  EXPECT_EQ(desktop.substr(desktop.size() - 9), "/Desktop/") << "an empty folder gets the default";
}

TEST(HeadlessDialogs, PresetFilesGoThroughTheEditorsDialog)
{
  EditorFixture f;
  EXPECT_FALSE(f.plug.LoadProgramFromFXP()) << "cancelled: nothing queued";
  const std::string path = TempPath("prog.fxp");
  f.gfx->QueueFileChoice(path.c_str());
  EXPECT_TRUE(f.plug.SaveProgramAsFXP("prog.fxp"));
  f.gfx->QueueFileChoice(path.c_str());
  EXPECT_TRUE(f.plug.LoadProgramFromFXP());
  std::remove(path.c_str());
}

TEST(HeadlessDialogs, MessagesURLsColoursAndTheWindow)
{
  EditorFixture f;
  f.gfx->QueueMessageBoxResult(7);
  EXPECT_EQ(f.gfx->ShowMessageBox("Really?", "Tesk", 4), 7);
  EXPECT_EQ(f.gfx->ShowMessageBox("Again?", "Tesk", 4), 0);
  EXPECT_EQ(f.gfx->GetMessages().front(), "Tesk: Really?");

  f.gfx->SetOpenURLResult(false);
  EXPECT_FALSE(f.gfx->OpenURL("https://example.org/manual"));
  EXPECT_EQ(f.gfx->GetURLsOpened().back(), "https://example.org/manual");

  IColor c;
  EXPECT_FALSE(f.gfx->PromptForColor(&c));
  f.gfx->QueueColor(COLOR_ORANGE);
  EXPECT_TRUE(f.gfx->PromptForColor(&c));
  EXPECT_EQ(c, COLOR_ORANGE);

  EXPECT_FALSE(f.gfx->WindowIsOpen());
  EXPECT_NE(f.gfx->OpenWindow(nullptr), nullptr);
  EXPECT_TRUE(f.gfx->WindowIsOpen());
  f.gfx->CloseWindow();
  EXPECT_EQ(f.gfx->GetWindow(), nullptr);
  EXPECT_EQ(f.gfx->OpenWindow(nullptr, nullptr, 0, 0), nullptr);

  f.gfx->HideMouseCursor();
  EXPECT_TRUE(f.gfx->IsCursorHidden());
  f.gfx->ShowMouseCursor();
  EXPECT_FALSE(f.gfx->IsCursorHidden());
  EXPECT_STREQ(f.gfx->GetGUIAPI(), "Headless");
}

TEST(HeadlessDialogs, QueuedTextIsTypedIntoTheNextEntry)
{
  EditorFixture f;
  PlainControl* c = new PlainControl(&f.plug, IRECT(0, 0, 10, 10), 0);
  f.gfx->AttachControl(c);
  f.gfx->QueueTextEntry("0.75");
  IRECT r(0, 0, 10, 10);
  f.gfx->PromptUserInput(c, f.plug.GetParam(0), &r);
  EXPECT_FALSE(f.gfx->GetTextEntry().mOpen);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.75);
  EXPECT_FALSE(f.gfx->CommitTextEntry("0.1")) << "no entry open";
}

TEST(HeadlessDialogs, MenuChoicesOutsideTheMenuOrOnSeparatorsDismissIt)
{
  EditorFixture f;
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddSeparator();
  menu.AddItem("b", -1, IPopupMenuItem::kDisabled);
  for (int choice : {5, 1, 2, -1})
  {
    f.gfx->QueueMenuChoice(choice);
    EXPECT_EQ(f.gfx->CreateIPopupMenu(&menu, nullptr), nullptr) << choice;
  }
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  f.gfx->QueueMenuChoice(0);
  EXPECT_EQ(f.gfx->CreateIPopupMenu(&menu, nullptr), &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 0);
}
}  // namespace
