#include <gtest/gtest.h>

#include "IPopupMenu.h"

namespace
{
IPopupMenu* MenuOf3(IPopupMenu& m)
{
  m.AddItem("a");
  m.AddItem("b");
  m.AddItem("c");
  return &m;
}

TEST(IPopupMenu, AddItemIndexIsClampedOrAppends)
{
  struct Case
  {
    const char* name;
    int index;
    const char* expected[4];
  };
  const Case cases[] = {
    {"append with -1", -1, {"a", "b", "c", "x"}},
    {"index past the end appends", 10, {"a", "b", "c", "x"}},
    {"insert at front", 0, {"x", "a", "b", "c"}},
    {"insert in the middle", 2, {"a", "b", "x", "c"}},
    {"negative index other than -1 inserts at front", -5, {"x", "a", "b", "c"}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    IPopupMenu m;
    MenuOf3(m);
    m.AddItem("x", c.index);
    ASSERT_EQ(m.GetNItems(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(m.GetItemText(i), c.expected[i]);
  }
}

TEST(IPopupMenu, PrefixAcceptsOnlyZeroToThree)
{
  IPopupMenu m;
  m.SetPrefix(2);
  m.SetPrefix(4);
  EXPECT_EQ(m.GetPrefix(), 2);
  m.SetPrefix(-1);
  EXPECT_EQ(m.GetPrefix(), 2);
  m.SetPrefix(0);
  EXPECT_EQ(m.GetPrefix(), 0);
}

TEST(IPopupMenu, CheckingItems)
{
  IPopupMenu m;
  MenuOf3(m);
  m.CheckItem(0, true);
  m.CheckItem(2, true);
  m.CheckItem(7, true);  // ignored
  EXPECT_TRUE(m.IsItemChecked(0));
  EXPECT_TRUE(m.IsItemChecked(2));
  EXPECT_FALSE(m.IsItemChecked(7));
  m.CheckItemAlone(1);
  EXPECT_FALSE(m.IsItemChecked(0));
  EXPECT_TRUE(m.IsItemChecked(1));
  EXPECT_FALSE(m.IsItemChecked(2));
  EXPECT_EQ(m.GetItem(1)->GetFlags(), IPopupMenuItem::kChecked);
}

TEST(IPopupMenu, SeparatorsSubmenusAndMissingItems)
{
  IPopupMenu sub;
  IPopupMenu m;
  m.AddItem("first");
  m.AddSeparator();
  m.AddItem("more", &sub);
  EXPECT_EQ(m.GetItem(0)->GetFlags(), 0);
  EXPECT_EQ(m.GetItem(1)->GetFlags(), IPopupMenuItem::kSeparator);
  EXPECT_STREQ(m.GetItemText(1), "");
  EXPECT_EQ(m.GetItem(2)->GetSubmenu(), &sub);
  EXPECT_EQ(m.GetItem(3), nullptr);
  EXPECT_STREQ(m.GetItemText(3), "");
  EXPECT_EQ(m.GetChosenItemIdx(), -1);
}

TEST(IPopupMenu, FlagsFormKeepsTheFlags)
{
  IPopupMenu m;
  m.AddItem("x", -1, IPopupMenuItem::kDisabled | IPopupMenuItem::kChecked);
  EXPECT_FALSE(m.GetItem(0)->GetEnabled());
  EXPECT_TRUE(m.GetItem(0)->GetChecked());
}
}  // namespace
