// PNG decoding of every colour type and bit depth, the writer, and bad input.
#include "raster_test_util.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

namespace
{

using Bytes = std::vector<unsigned char>;

// ---- A tiny independent encoder for fixtures, straight over libpng ----

struct Fixture
{
  int colorType, depth;
  bool interlaced, trns;
};

constexpr int kW = 5, kH = 3;

// Sample value of channel c at (x, y) for a depth, within its range.
int sample(int x, int y, int c, int depth)
{
  const int max = (1 << depth) - 1;
  return (x * 53 + y * 97 + c * 31 + 7) * 2654435761u % (max + 1);
}

void appendBytes(png_structp png, png_bytep data, png_size_t n)
{
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

int channelsOf(int colorType)
{
  switch (colorType)
  {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // palette index
  }
}

Bytes encodeFixture(const Fixture& f)
{
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)))
  {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "fixture encoding failed";
    return {};
  }
  png_set_write_fn(png, &out, appendBytes, nullptr);
  png_set_IHDR(png, info, kW, kH, f.depth, f.colorType, f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256];
  png_byte alphas[256];
  png_color_16 trnsColor{};
  if (f.colorType == PNG_COLOR_TYPE_PALETTE)
  {
    const int n = 1 << f.depth;
    for (int i = 0; i < n; ++i)
    {
      palette[i] = {png_byte(i * 37), png_byte(255 - i * 11), png_byte(i * 5 + 3)};
      alphas[i] = png_byte((255 - i * 60) & 255);
    }
    png_set_PLTE(png, info, palette, n);
    if (f.trns) png_set_tRNS(png, info, alphas, n, nullptr);
  }
  else if (f.trns)
  {
    // The colour of pixel (0, 0) becomes transparent.
    trnsColor.gray = png_uint_16(sample(0, 0, 0, f.depth));
    trnsColor.red = png_uint_16(sample(0, 0, 0, f.depth));
    trnsColor.green = png_uint_16(sample(0, 0, 1, f.depth));
    trnsColor.blue = png_uint_16(sample(0, 0, 2, f.depth));
    png_set_tRNS(png, info, nullptr, 0, &trnsColor);
  }
  png_write_info(png, info);
  const int ch = channelsOf(f.colorType);
  const size_t rowBytes = (static_cast<size_t>(kW) * ch * f.depth + 7) / 8;
  std::vector<Bytes> rows(kH, Bytes(rowBytes, 0));
  std::vector<png_bytep> ptrs(kH);
  for (int y = 0; y < kH; ++y)
  {
    for (int x = 0; x < kW; ++x)
      for (int c = 0; c < ch; ++c)
      {
        const int v = sample(x, y, c, f.depth);
        const size_t bit = (static_cast<size_t>(x) * ch + c) * f.depth;
        if (f.depth == 16)
        {
          rows[y][bit / 8] = png_byte(v >> 8);
          rows[y][bit / 8 + 1] = png_byte(v & 255);
        }
        else
        {
          rows[y][bit / 8] |= png_byte(v << (8 - f.depth - bit % 8));
        }
      }
    ptrs[y] = rows[y].data();
  }
  png_write_image(png, ptrs.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// The pixel a correct decoder produces for (x, y).
rt::Bytes expectedPixel(const Fixture& f, int x, int y)
{
  auto to8 = [&](int v) { return f.depth == 16 ? v >> 8 : v * 255 / ((1 << f.depth) - 1); };
  if (f.colorType == PNG_COLOR_TYPE_PALETTE)
  {
    const int i = sample(x, y, 0, f.depth);
    return {f.trns ? (255 - i * 60) & 255 : 255, i * 37 % 256, (255 - i * 11) & 255, (i * 5 + 3) & 255};
  }
  const int ch = channelsOf(f.colorType);
  int v[4] = {0, 0, 0, 0};
  for (int c = 0; c < ch; ++c) v[c] = sample(x, y, c, f.depth);
  const bool gray = ch <= 2;
  const bool transparent = f.trns && (gray ? v[0] == sample(0, 0, 0, f.depth)
                                           : v[0] == sample(0, 0, 0, f.depth) && v[1] == sample(0, 0, 1, f.depth) &&
                                               v[2] == sample(0, 0, 2, f.depth));
  int a = transparent ? 0 : 255;
  if (ch == 2) a = to8(v[1]);
  if (ch == 4) a = to8(v[3]);
  if (gray) return {a, to8(v[0]), to8(v[0]), to8(v[0])};
  return {a, to8(v[0]), to8(v[1]), to8(v[2])};
}

struct DecodeCase
{
  const char* name;
  Fixture f;
};

const DecodeCase kDecode[] = {
  {"gray1", {PNG_COLOR_TYPE_GRAY, 1, false, false}},
  {"gray2", {PNG_COLOR_TYPE_GRAY, 2, false, false}},
  {"gray4", {PNG_COLOR_TYPE_GRAY, 4, false, false}},
  {"gray8", {PNG_COLOR_TYPE_GRAY, 8, false, false}},
  {"gray16", {PNG_COLOR_TYPE_GRAY, 16, false, false}},
  {"gray8_transparent_colour", {PNG_COLOR_TYPE_GRAY, 8, false, true}},
  {"gray_alpha8", {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false}},
  {"gray_alpha16", {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false}},
  {"rgb8", {PNG_COLOR_TYPE_RGB, 8, false, false}},
  {"rgb16", {PNG_COLOR_TYPE_RGB, 16, false, false}},
  {"rgb8_transparent_colour", {PNG_COLOR_TYPE_RGB, 8, false, true}},
  {"rgba8", {PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false}},
  {"rgba16", {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false}},
  {"rgba8_interlaced", {PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false}},
  {"palette1", {PNG_COLOR_TYPE_PALETTE, 1, false, false}},
  {"palette2_with_alpha", {PNG_COLOR_TYPE_PALETTE, 2, false, true}},
  {"palette4", {PNG_COLOR_TYPE_PALETTE, 4, false, false}},
  {"palette8_with_alpha_interlaced", {PNG_COLOR_TYPE_PALETTE, 8, true, true}},
};

class PngDecode : public testing::TestWithParam<DecodeCase>
{
};

void expectDecoded(LICE_IBitmap* bm, const Fixture& f)
{
  ASSERT_NE(bm, nullptr);
  ASSERT_EQ(bm->getWidth(), kW);
  ASSERT_EQ(bm->getHeight(), kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) EXPECT_EQ(rt::bytes(LICE_GetPixel(bm, x, y)), expectedPixel(f, x, y)) << x << "," << y;
}

TEST_P(PngDecode, FromMemoryAndFromFileGiveThePixelFormat)
{
  const Fixture& f = GetParam().f;
  const Bytes data = encodeFixture(f);
  std::unique_ptr<LICE_IBitmap> fromMemory(LICE_LoadPNGFromMemory(data.data(), data.size()));
  expectDecoded(fromMemory.get(), f);

  const std::string path = rt::tempPath(std::string(GetParam().name) + ".png");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  LICE_MemBitmap target(1, 1);
  EXPECT_EQ(LICE_LoadPNG(path.c_str(), &target), &target) << "decodes into the given bitmap";
  expectDecoded(&target, f);
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Table, PngDecode, testing::ValuesIn(kDecode),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngWrite, RoundTripKeepsEveryByte)
{
  LICE_MemBitmap img(13, 7, 4);
  rt::fillPattern(&img, 9);
  const std::string path = rt::tempPath("roundtrip.png");
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &img));
  std::unique_ptr<LICE_IBitmap> back(LICE_LoadPNG(path.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(rt::samePixels(back.get(), &img));

  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &img, false));
  back.reset(LICE_LoadPNG(path.c_str()));
  ASSERT_NE(back, nullptr);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
    {
      EXPECT_EQ(LICE_GetPixel(back.get(), x, y), (LICE_GetPixel(&img, x, y) & 0xffffff00u) | 0xffu);
    }
  std::remove(path.c_str());
}

TEST(PngWrite, FailuresReportFalseAndLeaveNoFile)
{
  LICE_MemBitmap img(2, 2), empty;
  EXPECT_FALSE(LICE_WritePNG("/nonexistent-dir/x.png", &img));
  const std::string path = rt::tempPath("empty.png");
  EXPECT_FALSE(LICE_WritePNG(path.c_str(), &empty));
  EXPECT_FALSE(LICE_WritePNG(path.c_str(), nullptr));
  EXPECT_FALSE(std::ifstream(path).good());
}

// Recomputes the CRC of the chunk that starts at `pos` (its length field).
void fixCrc(Bytes& d, size_t pos)
{
  const uint32_t len = uint32_t(d[pos]) << 24 | uint32_t(d[pos + 1]) << 16 | uint32_t(d[pos + 2]) << 8 | d[pos + 3];
  uLong crc = crc32(0, d.data() + pos + 4, uInt(len + 4));
  for (int i = 0; i < 4; ++i) d[pos + 8 + len + i] = png_byte(crc >> (24 - 8 * i));
}

TEST(PngDecodeBadInput, MissingTruncatedOrCorruptGiveNull)
{
  EXPECT_EQ(LICE_LoadPNG("/nonexistent/image.png"), nullptr);
  EXPECT_EQ(LICE_LoadPNG(nullptr), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 10), nullptr);
  const char text[] = "this is not an image at all";
  EXPECT_EQ(LICE_LoadPNGFromMemory(text, sizeof text), nullptr);

  const Bytes good = encodeFixture({PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false});
  LICE_MemBitmap keep(2, 2);
  keep.getBits()[0] = 42;
  for (size_t len = 0; len < good.size(); ++len)
  {
    EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), len, &keep), nullptr) << "truncated to " << len;
  }
  EXPECT_EQ(keep.getWidth(), 2) << "a failed load leaves the target alone";
  EXPECT_EQ(keep.getBits()[0], 42u);

  const std::string path = rt::tempPath("truncated.png");
  std::ofstream(path, std::ios::binary)
    .write(reinterpret_cast<const char*>(good.data()), std::streamsize(good.size() / 2));
  EXPECT_EQ(LICE_LoadPNG(path.c_str()), nullptr);
  std::remove(path.c_str());

  Bytes flipped = good;
  flipped[good.size() - 20] ^= 0x55;  // inside the image data: the CRC no longer matches
  EXPECT_EQ(LICE_LoadPNGFromMemory(flipped.data(), flipped.size()), nullptr);

  // Image data that is not valid compressed data, with a correct CRC.
  Bytes garbage = good;
  const size_t idat = 33;  // signature (8) + IHDR chunk (25)
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(&garbage[idat + 4]), 4), "IDAT");
  for (size_t i = idat + 8; i < idat + 8 + 6; ++i) garbage[i] = 0xff;
  fixCrc(garbage, idat);
  EXPECT_EQ(LICE_LoadPNGFromMemory(garbage.data(), garbage.size()), nullptr);

  // A header claiming an enormous image is refused before any allocation.
  Bytes huge = good;
  for (int i = 0; i < 4; ++i) huge[16 + i] = huge[20 + i] = png_byte(i == 0 ? 0x00 : i == 1 ? 0x01 : 0x00);
  fixCrc(huge, 8);
  EXPECT_EQ(LICE_LoadPNGFromMemory(huge.data(), huge.size()), nullptr);
}

}  // namespace
