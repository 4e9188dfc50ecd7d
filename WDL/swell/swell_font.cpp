#include "swell_font.h"

#include "swell_fontmatch.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <string>

struct SWELL_FontObject
{
  FT_Face face = nullptr;
  std::mutex mutex;  // FreeType faces are not safe to use from two threads at once
  SWELL_FontMetrics metrics;
  int escapement = 0;
  bool mono = false;         // non-anti-aliased quality
  bool synthBold = false;    // weight asks for bold, the face is not
  bool transformed = false;  // rotation or synthetic slant in effect
  FT_Matrix matrix{};
  std::string family, file;
};

namespace
{

// One FreeType library for the process. It is never freed: fonts held by
// process-wide caches are deleted during exit, in an order we do not control.
std::mutex& libraryMutex()
{
  static std::mutex m;
  return m;
}

FT_Library library()
{
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    return FT_Init_FreeType(&l) == 0 ? l : nullptr;
  }();
  return lib;
}

constexpr int kDefaultHeight = 13;

// Sizes the face so that ascent + descent equals a positive height (cell
// height), or so that the em is -height pixels; fills the metrics.
bool applySize(SWELL_FontObject* f, int height)
{
  FT_Face face = f->face;
  if (!FT_IS_SCALABLE(face))
  {
    if (face->num_fixed_sizes < 1 || FT_Select_Size(face, 0) != 0) return false;
    f->metrics.ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    f->metrics.descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    f->metrics.lineHeight = f->metrics.ascent + f->metrics.descent;
    return true;
  }
  height = std::clamp(height, -2000, 2000);  // beyond any screen; keeps the arithmetic small
  const double upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  const double asc = face->ascender > 0 ? face->ascender : upem * 0.8;
  const double desc = face->descender < 0 ? -face->descender : upem * 0.2;
  double em;
  if (height > 0)
  {
    em = height * upem / (asc + desc);
  }
  else
  {
    em = -height;
  }
  em = std::clamp(em, 1.0, 2000.0);
  if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64.0)), 72, 72) != 0) return false;
  if (height > 0)
  {
    f->metrics.ascent = static_cast<int>(std::lround(asc * em / upem));
    f->metrics.descent = height - f->metrics.ascent;
  }
  else
  {
    f->metrics.ascent = static_cast<int>(std::ceil(asc * em / upem));
    f->metrics.descent = static_cast<int>(std::ceil(desc * em / upem));
  }
  f->metrics.lineHeight = f->metrics.ascent + f->metrics.descent;
  return true;
}

// Rotation by the escapement (counter-clockwise) after an optional slant.
void applyTransform(SWELL_FontObject* f, bool slant)
{
  const double angle = f->escapement / 10.0 * std::numbers::pi / 180.0;
  const double c = std::cos(angle), s = std::sin(angle), k = slant ? 0.2 : 0.0;
  f->transformed = f->escapement % 3600 != 0 || slant;
  if (!f->transformed) return;
  auto fixed = [](double v) { return static_cast<FT_Fixed>(std::lround(v * 65536.0)); };
  // [c -s; s c] * [1 k; 0 1]
  f->matrix.xx = fixed(c);
  f->matrix.xy = fixed(c * k - s);
  f->matrix.yx = fixed(s);
  f->matrix.yy = fixed(s * k + c);
  FT_Set_Transform(f->face, &f->matrix, nullptr);
}

void copyBitmap(const FT_Bitmap& bm, SWELL_GlyphImage* out)
{
  out->width = static_cast<int>(bm.width);
  out->height = static_cast<int>(bm.rows);
  out->coverage.assign(static_cast<size_t>(out->width) * out->height, 0);
  const int pitch = std::abs(bm.pitch);
  for (int y = 0; y < out->height; ++y)
  {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(bm.pitch >= 0 ? y : out->height - 1 - y) * pitch;
    unsigned char* dst = &out->coverage[static_cast<size_t>(y) * out->width];
    for (int x = 0; x < out->width; ++x)
    {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
      {
        dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      }
      else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
      {
        const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
        dst[x] = static_cast<unsigned char>(row[x] * 255 / levels);
      }
    }
  }
}

}  // namespace

HFONT CreateFont(int height, int /*width*/, int escapement, int /*orientation*/, int weight, char italic,
                 char /*underline*/, char /*strikeOut*/, char /*charSet*/, char /*outPrecision*/,
                 char /*clipPrecision*/, char quality, char /*pitchAndFamily*/, const char* faceName)
{
  SwellFontMatch match;
  if (!swell_matchFont(faceName, weight, italic != 0, &match)) return nullptr;
  auto f = new SWELL_FontObject;
  {
    std::lock_guard<std::mutex> lock(libraryMutex());
    FT_Library lib = library();
    if (!lib || FT_New_Face(lib, match.file.c_str(), match.index, &f->face) != 0) f->face = nullptr;
  }
  if (!f->face || !applySize(f, height == 0 ? kDefaultHeight : height))
  {
    DeleteObject(f);
    return nullptr;
  }
  f->escapement = escapement;
  f->mono = quality == NONANTIALIASED_QUALITY;
  f->synthBold = weight >= 600 && !match.bold;
  f->family = match.family;
  f->file = match.file;
  applyTransform(f, italic != 0 && !match.italic);
  return f;
}

bool DeleteObject(HFONT font)
{
  if (!font) return false;
  if (font->face)
  {
    std::lock_guard<std::mutex> lock(libraryMutex());
    FT_Done_Face(font->face);
  }
  delete font;
  return true;
}

bool SWELL_GetFontMetrics(HFONT font, SWELL_FontMetrics* out)
{
  if (!font || !out) return false;
  *out = font->metrics;
  return true;
}

bool SWELL_RenderGlyph(HFONT font, uint32_t codePoint, SWELL_GlyphImage* out)
{
  if (!font || !out) return false;
  std::lock_guard<std::mutex> lock(font->mutex);
  FT_Face face = font->face;
  const FT_UInt index = FT_Get_Char_Index(face, codePoint);
  FT_Int32 flags = font->mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  if (font->transformed) flags |= FT_LOAD_NO_HINTING;
  if (FT_Load_Glyph(face, index, flags) != 0) return false;
  if (font->synthBold) FT_GlyphSlot_Embolden(face->glyph);
  if (FT_Render_Glyph(face->glyph, font->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_GlyphSlot slot = face->glyph;
  copyBitmap(slot->bitmap, out);
  out->left = slot->bitmap_left;
  out->top = slot->bitmap_top;
  out->advanceX = static_cast<int32_t>(slot->advance.x);
  out->advanceY = static_cast<int32_t>(-slot->advance.y);
  return true;
}

int32_t SWELL_GetKerning(HFONT font, uint32_t left, uint32_t right)
{
  if (!font) return 0;
  std::lock_guard<std::mutex> lock(font->mutex);
  FT_Face face = font->face;
  if (!FT_HAS_KERNING(face) || font->transformed) return 0;
  FT_Vector k{0, 0};
  if (FT_Get_Kerning(face, FT_Get_Char_Index(face, left), FT_Get_Char_Index(face, right), FT_KERNING_DEFAULT, &k) != 0)
    return 0;
  return static_cast<int32_t>(k.x);
}

int SWELL_GetFontEscapement(HFONT font) { return font ? font->escapement : 0; }

const char* SWELL_GetFontFamily(HFONT font) { return font ? font->family.c_str() : ""; }

const char* SWELL_GetFontFile(HFONT font) { return font ? font->file.c_str() : ""; }
