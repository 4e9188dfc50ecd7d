// Platform fonts for the editor: a small GDI-like font service over FreeType,
// with face names resolved through fontconfig.
//
// Only what the editor needs is here: creating a font from a height, an
// escapement/orientation, a weight, italic and a quality; deleting it; and the
// glyph access the raster layer's cached font draws with. Every call may run on
// any thread (fonts are shared by all editors of the process); none is meant for
// the audio thread.
#pragma once

#include <cstdint>
#include <vector>

// Integer rectangle as text drawing takes it.
struct RECT
{
  int left, top, right, bottom;
};

struct SWELL_FontObject;
typedef SWELL_FontObject* HFONT;

// Weights (CreateFont's weight argument): 400 is normal, 700 bold.
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

// Quality (CreateFont's quality argument).
constexpr int DEFAULT_QUALITY = 0;
constexpr int NONANTIALIASED_QUALITY = 3;
constexpr int ANTIALIASED_QUALITY = 4;

// Creates a font. height > 0 asks for that cell height (ascent + descent) in
// pixels, height < 0 for an em size of -height pixels, 0 for a default of 13.
// escapement and orientation are in tenths of a degree, counter-clockwise
// (text runs along the escapement; orientation is accepted and, as on most
// systems, follows the escapement). width, underline, strike-out, character
// set, precisions and pitch are accepted and ignored. A face name unknown to
// the system resolves to the nearest installed face; "Monaco" resolves to the
// system's monospace face unless it is installed. Returns null when no usable
// face exists. editor thread (or any thread holding no raster lock).
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, char italic, char underline,
                 char strikeOut, char charSet, char outPrecision, char clipPrecision, char quality, char pitchAndFamily,
                 const char* faceName);

// Deletes a font made by CreateFont; null is ignored. Returns true when a font was deleted.
bool DeleteObject(HFONT font);

// ---- Glyph access used by the raster layer's cached font ----

struct SWELL_FontMetrics
{
  int ascent = 0;      // pixels above the baseline
  int descent = 0;     // pixels below the baseline
  int lineHeight = 0;  // ascent + descent
};

// A rendered glyph: 8-bit coverage rows (0 = empty, 255 = fully inked).
struct SWELL_GlyphImage
{
  int width = 0, height = 0;
  int left = 0;                         // coverage column 0 relative to the pen position, pixels
  int top = 0;                          // coverage row 0 relative to the baseline, pixels, upward positive
  int32_t advanceX = 0, advanceY = 0;   // pen movement in 1/64 pixel, y downward positive
  std::vector<unsigned char> coverage;  // width * height bytes, row-major
};

bool SWELL_GetFontMetrics(HFONT font, SWELL_FontMetrics* out);
// Renders one Unicode code point (a missing glyph renders the face's fallback box).
bool SWELL_RenderGlyph(HFONT font, uint32_t codePoint, SWELL_GlyphImage* out);
// Extra horizontal space between two code points, 1/64 pixel (0 without kerning).
int32_t SWELL_GetKerning(HFONT font, uint32_t left, uint32_t right);
// Escapement the font was created with, tenths of a degree.
int SWELL_GetFontEscapement(HFONT font);
// The family name and file the face name resolved to (for diagnostics and tests).
const char* SWELL_GetFontFamily(HFONT font);
const char* SWELL_GetFontFile(HFONT font);
