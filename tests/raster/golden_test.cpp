// One picture of shapes, blits and text compared with a stored image, for
// faults that only a look would catch (a shifted arc, text on the wrong line).
// Regenerate after an intended change with TESK_UPDATE_GOLDEN=1 and look at it.
#include "raster_test_util.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include <gtest/gtest.h>

namespace
{

const std::string kGolden = std::string(TESK_TEST_DATA_DIR) + "/golden_shapes.png";

void drawScene(LICE_IBitmap* bm)
{
  LICE_Clear(bm, LICE_RGBA(32, 36, 44, 255));
  // Panel with a rounded outline and a rounded fill built as the editor does.
  LICE_FillRect(bm, 4, 4, 152, 60, LICE_RGBA(60, 66, 80, 255), 1.0f, 0);
  LICE_RoundRect(bm, 4, 4, 152, 60, 6, LICE_RGBA(200, 200, 210, 255), 1.0f, 0, true);
  const int c = 5, l = 10, t = 70, w = 40, h = 24, r = l + w, b = t + h;
  const LICE_pixel fill = LICE_RGBA(90, 160, 220, 255);
  LICE_FillRect(bm, l + c, t, w - 2 * c, h, fill, 1.0f, 0);
  LICE_FillRect(bm, l, t + c, c, h - 2 * c, fill, 1.0f, 0);
  LICE_FillRect(bm, r - c, t + c, c, h - 2 * c, fill, 1.0f, 0);
  LICE_FillCircle(bm, l + c, t + c, c, fill, 1.0f, 0, true);
  LICE_FillCircle(bm, r - c - 1, b - c - 1, c, fill, 1.0f, 0, true);
  LICE_FillCircle(bm, r - c - 1, t + c, c, fill, 1.0f, 0, true);
  LICE_FillCircle(bm, l + c, b - c - 1, c, fill, 1.0f, 0, true);
  // Knob-like circle with an arc and a radial pointer.
  LICE_FillCircle(bm, 130, 90, 16, LICE_RGBA(70, 70, 70, 255), 1.0f, 0, true);
  LICE_Circle(bm, 130, 90, 16, LICE_RGBA(230, 230, 230, 255), 1.0f, 0, true);
  LICE_Arc(bm, 130, 90, 21, -2.4f, 1.2f, LICE_RGBA(255, 170, 0, 255), 1.0f, 0, true);
  LICE_Line(bm, 130, 90, 130 + int(14 * std::sin(1.2)), 90 - int(14 * std::cos(1.2)), LICE_RGBA(255, 255, 255, 255),
            1.0f, 0, true);
  // Lines: plain, anti-aliased, additive.
  LICE_Line(bm, 60, 70, 100, 110, LICE_RGBA(255, 80, 80, 255), 1.0f, 0, false);
  LICE_Line(bm, 60, 110, 100, 75, LICE_RGBA(80, 255, 80, 255), 1.0f, 0, true);
  LICE_Line(bm, 60, 90, 100, 92, LICE_RGBA(0, 0, 200, 255), 1.0f, LICE_BLIT_MODE_ADD, true);
  LICE_FillTriangle(bm, 62, 112, 80, 98, 96, 116, LICE_RGBA(240, 220, 60, 255), 0.5f, 0);
  // A gradient tile scaled up bilinearly and turned, blended with its alpha.
  LICE_MemBitmap tile(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) tile.getBits()[y * tile.getRowSpan() + x] = LICE_RGBA(x * 80, y * 80, 200, 60 + x * 60);
  LICE_ScaledBlit(bm, &tile, 108, 8, 20, 20, 0, 0, 4, 4, 1.0f, LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA);
  LICE_RotatedBlit(bm, &tile, 132, 8, 20, 20, 0, 0, 4, 4, float(std::numbers::pi / 6), false, 1.0f,
                   LICE_BLIT_FILTER_BILINEAR | LICE_BLIT_USE_ALPHA);
  // Text: three alignments in the panel and a translucent caption.
  LICE_CachedFont font;
  font.SetFromHFont(CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Monaco"), LICE_FONT_FLAG_OWNS_HFONT);
  font.SetTextColor(LICE_RGBA(255, 255, 255, 255));
  RECT rc{8, 8, 104, 20};
  font.DrawText(bm, "left", -1, &rc, LICE_DT_NOCLIP);
  rc = {8, 24, 104, 36};
  font.DrawText(bm, "centre", -1, &rc, LICE_DT_NOCLIP | LICE_DT_CENTER);
  rc = {8, 40, 104, 52};
  font.DrawText(bm, "right 42%", -1, &rc, LICE_DT_NOCLIP | LICE_DT_RIGHT);
  font.SetTextColor(LICE_RGBA(255, 220, 120, 160));
  rc = {110, 44, 156, 60};
  font.DrawText(bm, "v1.00", -1, &rc, LICE_DT_NOCLIP | LICE_DT_CENTER | LICE_DT_USEFGALPHA);
}

TEST(Golden, ShapesAndTextMatchTheStoredImage)
{
  LICE_SysBitmap scene(160, 120);
  drawScene(&scene);
  if (const char* u = std::getenv("TESK_UPDATE_GOLDEN"); u && *u == '1')
  {
    ASSERT_TRUE(LICE_WritePNG(kGolden.c_str(), &scene, false));
    GTEST_SKIP() << "golden image rewritten: " << kGolden;
  }
  std::unique_ptr<LICE_IBitmap> golden(LICE_LoadPNG(kGolden.c_str()));
  ASSERT_NE(golden, nullptr) << "missing " << kGolden << " (run with TESK_UPDATE_GOLDEN=1)";
  ASSERT_EQ(golden->getWidth(), 160);
  ASSERT_EQ(golden->getHeight(), 120);
  // Glyph rasterisation may differ by a level or two between font-library builds;
  // geometry may not.
  int differing = 0, worst = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x)
    {
      const LICE_pixel a = LICE_GetPixel(&scene, x, y), g = LICE_GetPixel(golden.get(), x, y);
      int d = 0;
      for (int sh = 8; sh < 32; sh += 8) d = std::max(d, std::abs(int((a >> sh) & 255) - int((g >> sh) & 255)));
      worst = std::max(worst, d);
      differing += d > 3;
    }
  if (differing > 40 || worst > 96)
  {
    const std::string actual = rt::tempPath("golden_actual.png");
    LICE_WritePNG(actual.c_str(), &scene, false);
    ADD_FAILURE() << differing << " pixels differ (worst by " << worst << "); drawn image: " << actual;
  }
}

}  // namespace
