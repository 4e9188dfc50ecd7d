#include <gtest/gtest.h>

#include "heapbuf.h"
#include "ptrlist.h"
#include "wdlstring.h"

#include <cstdlib>
#include <cstring>

namespace
{
struct Counted
{
  static inline int live = 0;
  Counted() { ++live; }
  ~Counted() { --live; }
};
}  // namespace

TEST(HeapBuf, GrowsInWholeGranulesAndKeepsCapacityOnShrink)
{
  WDL_HeapBuf hb(100);
  ASSERT_NE(hb.Resize(1), nullptr);
  EXPECT_EQ(hb.GetCapacity(), 100);
  hb.Resize(101);
  EXPECT_EQ(hb.GetCapacity(), 200);
  void* before = hb.Get();
  hb.Resize(10, false);  // no give-back: the allocation must stay put
  EXPECT_EQ(hb.Get(), before);
  EXPECT_EQ(hb.GetCapacity(), 200);
  hb.Resize(10, true);
  EXPECT_EQ(hb.GetCapacity(), 100);
  hb.Resize(0);
  EXPECT_EQ(hb.Get(), nullptr);
  EXPECT_EQ(hb.GetSize(), 0);
}

TEST(TypedBuf, CountsElementsAndAppendsAfterExistingData)
{
  WDL_TypedBuf<double> b;
  const double first[] = {1.0, 2.0};
  b.Add(first, 2);
  b.Add(3.0);
  ASSERT_EQ(b.GetSize(), 3);
  EXPECT_EQ(b.Get()[0], 1.0);
  EXPECT_EQ(b.Get()[2], 3.0);
  EXPECT_EQ(b.GetCapacity(), 4096 / static_cast<int>(sizeof(double)));
  EXPECT_EQ(b.Resize(-5), nullptr);
  EXPECT_EQ(b.GetSize(), 0);
}

TEST(TypedBuf, AppendsItsOwnElementWhileGrowing)
{
  // A full buffer must move to grow; the element being appended lives in the old storage.
  WDL_TypedBuf<double> b;
  const int full = b.GetCapacity() > 0 ? b.GetCapacity() : 4096 / static_cast<int>(sizeof(double));
  for (int i = 0; i < full; ++i) b.Add(i + 0.5);
  ASSERT_EQ(b.GetSize(), full);
  b.Add(b.Get()[3]);
  b.Add(b.Get() + 1, 2);
  ASSERT_EQ(b.GetSize(), full + 3);
  EXPECT_EQ(b.Get()[full], 3.5);
  EXPECT_EQ(b.Get()[full + 1], 1.5);
  EXPECT_EQ(b.Get()[full + 2], 2.5);
}

TEST(PtrList, KeepsOrderThroughInsertAndDelete)
{
  int a = 0, b = 0, c = 0, d = 0;
  WDL_PtrList<int> list;
  list.Add(&a);
  list.Add(&c);
  list.Insert(1, &b);
  list.Insert(99, &d);  // clamped to the end
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list.Get(0), &a);
  EXPECT_EQ(list.Get(1), &b);
  EXPECT_EQ(list.Get(3), &d);
  EXPECT_EQ(list.Get(4), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Find(&c), 2);
  list.Delete(0);
  EXPECT_EQ(list.Get(0), &b);
  EXPECT_TRUE(list.DeletePtr(&d));
  EXPECT_FALSE(list.DeletePtr(&d));
  EXPECT_EQ(list.GetSize(), 2);
}

TEST(PtrList, DeletesElementsOnlyWhenAsked)
{
  Counted::live = 0;
  {
    WDL_PtrList<Counted> list;
    Counted* kept = list.Add(new Counted);
    list.Add(new Counted);
    list.Add(new Counted);
    list.Delete(1, true);
    EXPECT_EQ(Counted::live, 2);
    list.Delete(0, false);
    EXPECT_EQ(Counted::live, 2);
    delete kept;
    list.Empty(true);
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(list.GetSize(), 0);
  }
}

TEST(String, SetAppendInsertAndDelete)
{
  WDL_String s;
  EXPECT_STREQ(s.Get(), "");
  s.Set("hello world", 5);
  EXPECT_STREQ(s.Get(), "hello");
  s.Append(", you", 0);
  s.Insert(">", 0);
  EXPECT_STREQ(s.Get(), ">hello, you");
  s.DeleteSub(0, 1);
  s.DeleteSub(5, 100);
  EXPECT_STREQ(s.Get(), "hello");
  s.AppendFormatted(32, " %d%%", 42);
  EXPECT_STREQ(s.Get(), "hello 42%");
  s.SetFormatted(3, "%s", "abcdef");  // bounded
  EXPECT_STREQ(s.Get(), "abc");
  s.Set(s.Get() + 1);  // from our own buffer
  EXPECT_STREQ(s.Get(), "bc");
  EXPECT_EQ(s.GetLength(), 2);
}

TEST(String, AppendAndInsertIntoANeverSetStringAreTerminated)
{
  // Leave dirty memory of the string's allocation size behind, so that a missing
  // terminator shows as extra characters.
  for (int i = 0; i < 4; ++i)
  {
    void* dirty[2] = {std::malloc(1024), std::malloc(1024)};
    for (void* d : dirty) std::memset(d, 'x', 1024);
    for (void* d : dirty) std::free(d);
    WDL_String appended;
    appended.Append("abcdefghijklmnopqrstuvwxyz");
    EXPECT_STREQ(appended.Get(), "abcdefghijklmnopqrstuvwxyz");
    WDL_String inserted;
    inserted.Insert("hello", 3);
    EXPECT_STREQ(inserted.Get(), "hello");
    EXPECT_EQ(inserted.GetLength(), 5);
  }
}
