// Text drawn into bitmaps through a platform font, with a glyph cache.
#pragma once

#include "lice_pixel.h"
#include "swell/swell_font.h"

#include <memory>

class LICE_IBitmap;

// SetFromHFont flags.
constexpr int LICE_FONT_FLAG_OWNS_HFONT = 0x200;    // delete the font when replaced or destroyed
constexpr int LICE_FONT_FLAG_FORCE_NATIVE = 0x400;  // platform text renderer (always the case here)

// DrawText flags.
constexpr int LICE_DT_LEFT = 0;
constexpr int LICE_DT_CALCRECT = 0x1;  // measure only: right/bottom = left/top + text size, nothing drawn
constexpr int LICE_DT_CENTER = 0x4;
constexpr int LICE_DT_RIGHT = 0x20;
constexpr int LICE_DT_NOCLIP = 0x100;           // without it, drawing is also clipped to the rectangle
constexpr int LICE_DT_USEFGALPHA = 0x40000000;  // scale the text by the colour's alpha

// A font ready to draw: a platform font plus rendered glyphs, kept until the
// font changes. Lines break at '\n'; text is UTF-8 (bytes that are not valid
// UTF-8 are taken as Latin-1). Text sits at the top of the rectangle.
// Thread-safe (one lock per font); the editor thread in practice.
class LICE_CachedFont final
{
public:
  LICE_CachedFont();
  ~LICE_CachedFont();
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags = 0);
  HFONT GetHFont() const;
  // Pixels from one line's top to the next (0 without a font).
  int GetLineHeight() const;

  void SetTextColor(LICE_pixel color);
  LICE_pixel GetTextColor() const;

  // Draws (or with LICE_DT_CALCRECT measures) `length` bytes of text, or up to the
  // NUL when length < 0. Returns the text's height in pixels (0 without a font).
  int DrawText(LICE_IBitmap* bm, const char* text, int length, RECT* rect, int flags);

private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
