// Bitmap storage: row alignment, resizing, the pixel word's byte order.
#include "raster_test_util.h"

#include <cstring>

#include <gtest/gtest.h>

namespace
{

TEST(Pixel, WordHoldsAlphaRedGreenBlueInMemoryOrder)
{
  const LICE_pixel p = LICE_RGBA(1, 2, 3, 4);
  unsigned char mem[4];
  std::memcpy(mem, &p, 4);
  EXPECT_EQ(mem[LICE_PIXEL_A], 4);
  EXPECT_EQ(mem[LICE_PIXEL_R], 1);
  EXPECT_EQ(mem[LICE_PIXEL_G], 2);
  EXPECT_EQ(mem[LICE_PIXEL_B], 3);
  EXPECT_EQ(p, 4u | 1u << 8 | 2u << 16 | 3u << 24);
  EXPECT_EQ(LICE_GETA(p), 4u);
  EXPECT_EQ(LICE_GETR(p), 1u);
  EXPECT_EQ(LICE_GETG(p), 2u);
  EXPECT_EQ(LICE_GETB(p), 3u);
}

struct AlignCase
{
  const char* name;
  int w, h;
  unsigned align;
  int span;
};

const AlignCase kAlign[] = {
  {"aligned_to_4", 5, 3, 4, 8},     {"already_aligned", 8, 2, 4, 8},           {"no_alignment", 5, 3, 1, 5},
  {"aligned_to_16", 17, 1, 16, 32}, {"zero_alignment_means_none", 7, 2, 0, 7},
};

class MemBitmapAlign : public testing::TestWithParam<AlignCase>
{
};

TEST_P(MemBitmapAlign, RowsArePaddedAndStartCleared)
{
  const AlignCase& c = GetParam();
  LICE_MemBitmap bm(c.w, c.h, c.align);
  EXPECT_EQ(bm.getWidth(), c.w);
  EXPECT_EQ(bm.getHeight(), c.h);
  EXPECT_EQ(bm.getRowSpan(), c.span);
  EXPECT_FALSE(bm.isFlipped());
  EXPECT_EQ(bm.getDC(), nullptr);
  for (int i = 0; i < c.span * c.h; ++i) ASSERT_EQ(bm.getBits()[i], 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, MemBitmapAlign, testing::ValuesIn(kAlign),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Bitmaps, ResizeReportsChangeAndClears)
{
  LICE_MemBitmap mem(0, 0, 4);
  EXPECT_EQ(mem.getBits(), nullptr);
  EXPECT_TRUE(mem.resize(3, 2));
  EXPECT_EQ(mem.getRowSpan(), 4);
  mem.getBits()[0] = 7;
  EXPECT_FALSE(mem.resize(3, 2));
  EXPECT_EQ(mem.getBits()[0], 7u) << "an unchanged size keeps the pixels";
  EXPECT_TRUE(mem.resize(4, 4));
  EXPECT_EQ(mem.getBits()[0], 0u);
  EXPECT_TRUE(mem.resize(-1, 5)) << "a bad size empties the bitmap";
  EXPECT_EQ(mem.getBits(), nullptr);
  EXPECT_EQ(mem.getWidth(), 0);

  LICE_SysBitmap sys(5, 3);
  EXPECT_EQ(sys.getRowSpan(), 5);
  EXPECT_NE(sys.getBits(), nullptr);
  EXPECT_TRUE(sys.resize(425, 440));
  EXPECT_EQ(sys.getWidth(), 425);
  EXPECT_EQ(sys.getHeight(), 440);
  sys.resize(1 << 20, 1 << 20);
  EXPECT_EQ(sys.getWidth(), 0) << "an absurd size is refused, not allocated";
  EXPECT_EQ(sys.getBits(), nullptr);
}

// A bottom-up bitmap: row 0 is stored last. Operations must honour it.
class FlippedBitmap final : public LICE_IBitmap
{
public:
  FlippedBitmap(int w, int h)
    : m_w(w),
      m_h(h),
      m_px(static_cast<size_t>(w) * h, 0)
  {
  }
  LICE_pixel* getBits() override { return m_px.data(); }
  int getWidth() const override { return m_w; }
  int getHeight() const override { return m_h; }
  int getRowSpan() const override { return m_w; }
  bool isFlipped() const override { return true; }
  bool resize(int, int) override { return false; }
  LICE_pixel stored(int x, int y) const { return m_px[static_cast<size_t>(m_h - 1 - y) * m_w + x]; }

private:
  int m_w, m_h;
  std::vector<LICE_pixel> m_px;
};

TEST(Bitmaps, FlippedBitmapsAreAddressedTopDown)
{
  FlippedBitmap bm(3, 4);
  LICE_PutPixel(&bm, 1, 0, 0x11u, 1.0f, 0);
  LICE_FillRect(&bm, 0, 3, 1, 1, 0x22u, 1.0f, 0);
  EXPECT_EQ(bm.stored(1, 0), 0x11u);
  EXPECT_EQ(bm.stored(0, 3), 0x22u);
  EXPECT_EQ(LICE_GetPixel(&bm, 1, 0), 0x11u);
  LICE_MemBitmap copy;
  LICE_Copy(&copy, &bm);
  EXPECT_EQ(LICE_GetPixel(&copy, 1, 0), 0x11u);
  EXPECT_EQ(LICE_GetPixel(&copy, 0, 3), 0x22u);
}

}  // namespace
