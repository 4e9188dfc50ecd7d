// The window's prompts and keys with real input under Xvfb: the in-place text entry a
// right click (or Ctrl+click) opens, what it accepts, how it commits and cancels; the
// modal pop-up menu with its checked, disabled, separator and submenu entries, picked by
// mouse and by keys; an enumerated parameter's menu; keys reaching a control.

#include <vector>

#include "IPlugHostless.h"
#include "IPopupMenu.h"
#include "WindowTestSupport.h"
#include "linux_window/X11PopupMenuLayout.h"

using namespace window_test;

namespace
{
// A control with the base class's behaviour: a right click asks for a value, a double
// click restores the default, the wheel nudges. It keeps the keys it receives.
class PromptingControl final : public IControl
{
public:
  PromptingControl(IPlugBase* pPlug, IRECT rect, int paramIdx)
    : IControl(pPlug, rect, paramIdx)
  {
    DisablePrompt(false);
  }
  bool Draw(IGraphics* g) override
  {
    const IColor c(255, 30, 60, 90);
    return g->FillIRect(&c, &mRECT);
  }
  bool OnKeyDown(int, int, int key) override
  {
    keys.push_back(key);
    return true;
  }
  std::vector<int> keys;
};

// Opens a menu of its own when pressed and keeps what was picked.
class MenuControl final : public IControl
{
public:
  MenuControl(IPlugBase* pPlug, IRECT rect)
    : IControl(pPlug, rect)
  {
    menu.SetPrefix(2);
    menu.AddItem("Alpha");
    menu.AddItem("Beta", -1, IPopupMenuItem::kChecked);
    menu.AddItem("Gamma", -1, IPopupMenuItem::kDisabled);
    menu.AddSeparator();
    menu.AddItem("More", &sub);
    sub.AddItem("Sub one");
    sub.AddItem("Sub two", -1, IPopupMenuItem::kIndented);
  }
  bool Draw(IGraphics* g) override
  {
    const IColor c(255, 90, 60, 30);
    return g->FillIRect(&c, &mRECT);
  }
  void OnMouseDown(int, int, IMouseMod*) override
  {
    menu.SetChosenItemIdx(-1);
    sub.SetChosenItemIdx(-1);
    chosen = GetGUI()->CreateIPopupMenu(&menu, &mRECT);
    chosenIdx = chosen ? chosen->GetChosenItemIdx() : -1;
    ++shown;
  }
  IPopupMenu menu, sub;
  IPopupMenu* chosen = nullptr;
  int chosenIdx = -1;
  int shown = 0;
};

// The Tesk editor with the two test controls added over its bottom-left corner.
class PromptsTest : public XvfbTest, public ::testing::WithParamInterface<int>
{
protected:
  void SetUp() override
  {
    XvfbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    mTesk = std::make_unique<TeskUnderTest>();
    IGraphicsLinux* g = mTesk->graphics;
    mPrompt = new PromptingControl(mTesk->plug.get(), IRECT(10, 400, 70, 430), Tesk::kReductionAmount);
    g->AttachControl(mPrompt);
    mMenu = new MenuControl(mTesk->plug.get(), IRECT(80, 400, 140, 430));
    g->AttachControl(mMenu);
    // The first value from the plug-in becomes the default a double click restores.
    g->SetParameterFromPlug(Tesk::kReductionAmount, mTesk->Value(Tesk::kReductionAmount), true);
    X11EditorWindowOptions options;
    options.scale = GetParam();
    mWindow = std::make_unique<X11EditorWindow>(g, options);
    ASSERT_TRUE(mWindow->StartEditorThread()) << mWindow->Error();
  }
  void TearDown() override
  {
    mWindow.reset();
    mTesk.reset();
    XvfbTest::TearDown();
  }

  int S() const { return GetParam(); }
  double Reduction()
  {
    double v = 0.0;
    mWindow->RunOnEditorThread([&] { v = mTesk->Value(Tesk::kReductionAmount); });
    return v;
  }
  bool EntryOpen()
  {
    bool open = false;
    mWindow->RunOnEditorThread([&] { open = mWindow->IsTextEntryOpen(); });
    return open;
  }
  void ClickPrompt(unsigned button = 1) { mUser->Click(40 * S(), 415 * S(), button); }
  // Clicks entry `item` of the menu level `level` (0 the menu, 1 its submenu).
  void ClickMenuItem(size_t level, IPopupMenu* pMenu, int item)
  {
    const std::vector<Window> menus = WaitForMenus(level + 1);
    ASSERT_GT(menus.size(), level) << "menu level " << level;
    int x, y;
    mUser->Position(menus[level], &x, &y);
    X11PopupMenuLayout layout(pMenu, S());
    const IRECT r = layout.ItemRect(item);
    mUser->MoveTo(x + r.L + 5, y + (r.T + r.B) / 2 - 1);
    mUser->Click(x + r.L + 5, y + (r.T + r.B) / 2);
  }
  void OpenMenu() { mUser->Click(110 * S(), 415 * S()); }
  // The menu windows once `n` are shown and the menu holds the pointer and keyboard (its
  // loop runs the editor thread's tasks only after taking them).
  std::vector<Window> WaitForMenus(size_t n)
  {
    std::vector<Window> menus;
    if (!Until([&] { return (menus = mUser->Menus()).size() >= n; })) return menus;
    mWindow->RunOnEditorThread([] {});
    return menus;
  }
  bool MenuClosed()
  {
    return Until([&] { return mUser->Menus().empty(); });
  }

  std::unique_ptr<TeskUnderTest> mTesk;
  PromptingControl* mPrompt = nullptr;
  MenuControl* mMenu = nullptr;
  std::unique_ptr<X11EditorWindow> mWindow;
};
}  // namespace

TEST_P(PromptsTest, TextEntryTypesCommitsAndCancels)
{
  const double original = Reduction();

  // Right click: the entry opens with the value selected; typing replaces it, Return commits.
  ClickPrompt(3);
  ASSERT_TRUE(EntryOpen());
  Settle(*mWindow, mTesk->graphics);
  SaveForViewing(mUser->Grab(mWindow->NativeWindow()).get(), "text_entry_" + std::to_string(S()) + "x.png");
  mUser->Type("0.25");
  mUser->Tap(XK_Return);
  EXPECT_FALSE(EntryOpen());
  EXPECT_DOUBLE_EQ(Reduction(), 0.25);

  // Ctrl+click is a right click too. Letters are refused; Escape leaves the value alone.
  mUser->Key(XK_Control_L, true);
  ClickPrompt(1);
  mUser->Key(XK_Control_L, false);
  ASSERT_TRUE(EntryOpen());
  mUser->Type("0.7x5");
  mUser->Tap(XK_Escape);
  EXPECT_FALSE(EntryOpen());
  EXPECT_DOUBLE_EQ(Reduction(), 0.25);

  // What was typed, letters dropped, is committed by a click elsewhere.
  ClickPrompt(3);
  mUser->Type("0.7x5");
  mUser->Click(300 * S(), 300 * S());
  EXPECT_FALSE(EntryOpen());
  EXPECT_DOUBLE_EQ(Reduction(), 0.75);

  // The entry holds at most the control's entry length (7): "0.123456" loses its last digit.
  ClickPrompt(3);
  mUser->Type("0.123456");
  mUser->Tap(XK_KP_Enter);
  EXPECT_DOUBLE_EQ(Reduction(), 0.12345);

  // A double click restores the default; the wheel nudges by 0.01.
  mUser->Click(40 * S(), 415 * S());
  mUser->Click(40 * S(), 415 * S());
  EXPECT_DOUBLE_EQ(Reduction(), original);
  mUser->Click(40 * S(), 415 * S(), 4);
  EXPECT_NEAR(Reduction(), original + 0.01, 1e-12);
}

TEST_P(PromptsTest, PopupMenuPicksByMouseAndKeys)
{
  auto result = [&](IPopupMenu** pMenu, int* pIdx, int* pShown) {
    mWindow->RunOnEditorThread([&] {
      *pMenu = mMenu->chosen;
      *pIdx = mMenu->chosenIdx;
      *pShown = mMenu->shown;
    });
  };
  IPopupMenu* chosen;
  int idx, shown;

  // A click on an entry picks it.
  OpenMenu();
  {
    const std::vector<Window> menus = WaitForMenus(1);
    ASSERT_EQ(menus.size(), 1u);
    SaveForViewing(mUser->Grab(menus[0]).get(), "menu_" + std::to_string(S()) + "x.png");
  }
  ClickMenuItem(0, &mMenu->menu, 1);
  ASSERT_TRUE(MenuClosed());
  result(&chosen, &idx, &shown);
  EXPECT_EQ(chosen, &mMenu->menu);
  EXPECT_EQ(idx, 1);

  // A disabled entry cannot be picked: the menu stays until a click outside dismisses it.
  OpenMenu();
  ClickMenuItem(0, &mMenu->menu, 2);
  EXPECT_EQ(mUser->Menus().size(), 1u);
  mUser->Click(900, 700);
  ASSERT_TRUE(MenuClosed());
  result(&chosen, &idx, &shown);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(chosen, nullptr);

  // Hovering the submenu's entry opens it; a click there picks from the submenu.
  OpenMenu();
  ClickMenuItem(0, &mMenu->menu, 4);
  ClickMenuItem(1, &mMenu->sub, 1);
  ASSERT_TRUE(MenuClosed());
  result(&chosen, &idx, &shown);
  EXPECT_EQ(chosen, &mMenu->sub);
  EXPECT_EQ(idx, 1);

  // Keys: Down skips the disabled entry and the separator; Right opens the submenu.
  OpenMenu();
  ASSERT_EQ(WaitForMenus(1).size(), 1u);
  mUser->MoveTo(900, 700);
  for (KeySym k : {XK_Down, XK_Down, XK_Down, XK_Right, XK_Return}) mUser->Tap(k);
  ASSERT_TRUE(MenuClosed());
  result(&chosen, &idx, &shown);
  EXPECT_EQ(chosen, &mMenu->sub);
  EXPECT_EQ(idx, 0);

  // Escape dismisses.
  OpenMenu();
  ASSERT_EQ(WaitForMenus(1).size(), 1u);
  mUser->Tap(XK_Escape);
  ASSERT_TRUE(MenuClosed());
  result(&chosen, &idx, &shown);
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(shown, 5);
}

TEST_P(PromptsTest, KeysReachTheControlUnderThePointer)
{
  mUser->Click(40 * S(), 415 * S());
  for (KeySym k : {XK_a, XK_Z, XK_7, XK_space, XK_Up, XK_Right, XK_F5}) mUser->Tap(k);
  std::vector<int> keys;
  mWindow->RunOnEditorThread([&] { keys = mPrompt->keys; });
  EXPECT_EQ(keys, (std::vector<int>{15, 40, 12, 0, 1, 4}));  // F5 has no code
}

INSTANTIATE_TEST_SUITE_P(Scales, PromptsTest, ::testing::Values(1, 2),
                         [](const auto& info) { return std::to_string(info.param) + "x"; });

namespace
{
// A plug-in with one enumerated parameter, for the menu the graphics host builds.
class EnumPlug final : public IPlugHostless
{
public:
  EnumPlug()
    : IPlugHostless(1, "1-1", 1, "Enum", "Enum", "Test", 0x10000, 0x54657374, 0x54657374, 0, false, false, false,
                    kAPIAU)
  {
    GetParam(0)->InitEnum("Shape", 1, 3);
    GetParam(0)->SetDisplayText(0, "Sine");
    GetParam(0)->SetDisplayText(1, "Square");
    GetParam(0)->SetDisplayText(2, "Saw");
  }
};
}  // namespace

TEST_F(XvfbTest, EnumeratedParameterChosenFromItsMenu)
{
  EnumPlug plug;
  auto* g = new IGraphicsLinux(&plug, 200, 100, 0);
  auto* control = new PromptingControl(&plug, IRECT(20, 20, 120, 40), 0);
  g->AttachControl(control);
  plug.AttachGraphics(g);
  X11EditorWindow w(g, X11EditorWindowOptions{});
  ASSERT_TRUE(w.StartEditorThread()) << w.Error();

  mUser->Click(60, 30, 3);
  std::vector<Window> menus;
  ASSERT_TRUE(Until([&] { return !(menus = mUser->Menus()).empty(); }));
  w.RunOnEditorThread([] {});  // the menu's loop runs: it holds the pointer
  // The graphics host's menu is not reachable from here; the same entries laid out again.
  IPopupMenu same;
  same.AddItem("Sine");
  same.AddItem("Square", -1, IPopupMenuItem::kChecked);
  same.AddItem("Saw");
  X11PopupMenuLayout layout(&same, 1);
  int x, y;
  mUser->Position(menus[0], &x, &y);
  const IRECT saw = layout.ItemRect(2);
  mUser->Click(x + saw.L + 5, y + (saw.T + saw.B) / 2);
  ASSERT_TRUE(Until([&] { return mUser->Menus().empty(); }));
  double value = -1.0;
  w.RunOnEditorThread([&] { value = plug.GetParam(0)->Value(); });
  EXPECT_EQ(value, 2.0);
  w.Close();
}
