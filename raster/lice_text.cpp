#include "lice_text.h"

#include "lice_combine.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>
#include <unordered_map>
#include <vector>

namespace
{

// Glyphs kept per font before the cache starts over (the editor uses a few dozen).
constexpr size_t kMaxCachedGlyphs = 2048;

// Decodes UTF-8; a byte that does not start a valid sequence stands for itself (Latin-1).
std::vector<uint32_t> decodeText(const char* text, int length)
{
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t n = 0;
  if (length < 0)
  {
    while (s[n]) ++n;
  }
  else
  {
    n = static_cast<size_t>(length);
    for (size_t i = 0; i < n; ++i)
    {
      if (!s[i])
      {
        n = i;
        break;
      }
    }
  }
  std::vector<uint32_t> out;
  out.reserve(n);
  for (size_t i = 0; i < n;)
  {
    const unsigned char c = s[i];
    const int extra = c >= 0xf0 && c < 0xf5 ? 3 : c >= 0xe0 && c < 0xf0 ? 2 : c >= 0xc2 && c < 0xe0 ? 1 : 0;
    uint32_t cp = c;
    bool ok = extra > 0;
    if (ok)
    {
      cp = c & (0x3fu >> extra);
      for (int k = 1; k <= extra; ++k)
      {
        if (i + k >= n || (s[i + k] & 0xc0) != 0x80)
        {
          ok = false;
          break;
        }
        cp = cp << 6 | (s[i + k] & 0x3fu);
      }
    }
    if (ok && cp >= 0x80 && !(cp >= 0xd800 && cp < 0xe000) && cp < 0x110000 && !(extra == 2 && cp < 0x800) &&
        !(extra == 3 && cp < 0x10000))
    {
      out.push_back(cp);
      i += static_cast<size_t>(extra) + 1;
    }
    else
    {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

struct Line
{
  size_t begin, end;  // code point range, without the break
  int width = 0;      // pixels
};

}  // namespace

struct LICE_CachedFont::Impl
{
  mutable std::mutex mutex;
  HFONT font = nullptr;
  bool owns = false;
  LICE_pixel color = LICE_RGBA(0, 0, 0, 255);
  SWELL_FontMetrics metrics;
  std::unordered_map<uint32_t, SWELL_GlyphImage> glyphs;

  void release()
  {
    if (owns && font) DeleteObject(font);
    font = nullptr;
    owns = false;
    glyphs.clear();
    metrics = SWELL_FontMetrics{};
  }

  const SWELL_GlyphImage& glyph(uint32_t cp)
  {
    auto it = glyphs.find(cp);
    if (it != glyphs.end()) return it->second;
    if (glyphs.size() >= kMaxCachedGlyphs) glyphs.clear();
    SWELL_GlyphImage img;
    if (!SWELL_RenderGlyph(font, cp, &img)) img = SWELL_GlyphImage{};
    return glyphs.emplace(cp, std::move(img)).first->second;
  }

  // Pen advance of the line in 1/64 pixel along the baseline.
  int64_t lineAdvance(const std::vector<uint32_t>& cps, size_t b, size_t e)
  {
    int64_t w = 0;
    for (size_t i = b; i < e; ++i)
    {
      w += glyph(cps[i]).advanceX;
      if (i + 1 < e) w += SWELL_GetKerning(font, cps[i], cps[i + 1]);
    }
    return w;
  }

  std::vector<Line> layout(const std::vector<uint32_t>& cps)
  {
    std::vector<Line> lines;
    size_t start = 0;
    for (size_t i = 0; i <= cps.size(); ++i)
    {
      if (i < cps.size() && cps[i] != '\n') continue;
      size_t end = i;
      if (end > start && cps[end - 1] == '\r') --end;
      Line l{start, end};
      l.width = static_cast<int>((lineAdvance(cps, start, end) + 32) >> 6);
      lines.push_back(l);
      start = i + 1;
    }
    return lines;
  }

  void drawGlyph(const lice::View& v, const SWELL_GlyphImage& g, int originX, int originY, int clip[4], int flags)
  {
    const int textAlpha = (flags & LICE_DT_USEFGALPHA) ? static_cast<int>(LICE_GETA(color)) : 255;
    const lice::BlitParams params{lice::BlitRule::kCopyAlphaFull, 256};
    const int x0 = originX + g.left, y0 = originY - g.top;
    for (int y = std::max(0, clip[1] - y0); y < g.height && y0 + y < clip[3]; ++y)
    {
      LICE_pixel* row = v.row(y0 + y);
      const unsigned char* cov = &g.coverage[static_cast<size_t>(y) * g.width];
      for (int x = std::max(0, clip[0] - x0); x < g.width && x0 + x < clip[2]; ++x)
      {
        const int a = cov[x] * textAlpha / 255;
        if (a) row[x0 + x] = lice::blitPixel(row[x0 + x], (color & 0xffffff00u) | static_cast<LICE_pixel>(a), params);
      }
    }
  }
};

LICE_CachedFont::LICE_CachedFont()
  : m_impl(std::make_unique<Impl>())
{
}

LICE_CachedFont::~LICE_CachedFont() { m_impl->release(); }

void LICE_CachedFont::SetFromHFont(HFONT font, int flags)
{
  std::lock_guard<std::mutex> lock(m_impl->mutex);
  if (font == m_impl->font)
  {
    m_impl->owns = (flags & LICE_FONT_FLAG_OWNS_HFONT) != 0;
    return;
  }
  m_impl->release();
  m_impl->font = font;
  m_impl->owns = font && (flags & LICE_FONT_FLAG_OWNS_HFONT) != 0;
  if (font) SWELL_GetFontMetrics(font, &m_impl->metrics);
}

HFONT LICE_CachedFont::GetHFont() const
{
  std::lock_guard<std::mutex> lock(m_impl->mutex);
  return m_impl->font;
}

int LICE_CachedFont::GetLineHeight() const
{
  std::lock_guard<std::mutex> lock(m_impl->mutex);
  return m_impl->metrics.lineHeight;
}

void LICE_CachedFont::SetTextColor(LICE_pixel color)
{
  std::lock_guard<std::mutex> lock(m_impl->mutex);
  m_impl->color = color;
}

LICE_pixel LICE_CachedFont::GetTextColor() const
{
  std::lock_guard<std::mutex> lock(m_impl->mutex);
  return m_impl->color;
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bm, const char* text, int length, RECT* rect, int flags)
{
  std::lock_guard<std::mutex> lock(m_impl->mutex);
  Impl& d = *m_impl;
  if (!d.font || !text || !rect) return 0;
  const std::vector<uint32_t> cps = decodeText(text, length);
  const std::vector<Line> lines = d.layout(cps);
  const int lh = d.metrics.lineHeight;
  const int height = static_cast<int>(lines.size()) * lh;
  if (flags & LICE_DT_CALCRECT)
  {
    int w = 0;
    for (const Line& l : lines) w = std::max(w, l.width);
    rect->right = rect->left + w;
    rect->bottom = rect->top + height;
    return height;
  }
  const lice::View v = lice::viewOf(bm);
  if (!v) return height;
  int clip[4] = {0, 0, v.w, v.h};  // left, top, right, bottom (exclusive)
  if (!(flags & LICE_DT_NOCLIP))
  {
    clip[0] = std::max(clip[0], rect->left);
    clip[1] = std::max(clip[1], rect->top);
    clip[2] = std::min(clip[2], rect->right);
    clip[3] = std::min(clip[3], rect->bottom);
  }
  if (clip[0] >= clip[2] || clip[1] >= clip[3]) return height;

  // Rotated fonts run along the escapement; lines stack perpendicular to it.
  const double angle = SWELL_GetFontEscapement(d.font) / 10.0 * std::numbers::pi / 180.0;
  const double ca = std::cos(angle), sa = std::sin(angle);
  for (size_t li = 0; li < lines.size(); ++li)
  {
    const Line& l = lines[li];
    int x = rect->left;
    if (flags & LICE_DT_RIGHT)
    {
      x = rect->right - l.width;
    }
    else if (flags & LICE_DT_CENTER)
    {
      x = rect->left + (rect->right - rect->left - l.width) / 2;
    }
    const double down = static_cast<double>(li) * lh + d.metrics.ascent;
    int64_t penX = static_cast<int64_t>(std::lround((x + down * sa) * 64.0));
    int64_t penY = static_cast<int64_t>(std::lround((rect->top + down * ca) * 64.0));
    for (size_t i = l.begin; i < l.end; ++i)
    {
      const SWELL_GlyphImage& g = d.glyph(cps[i]);
      if (!g.coverage.empty())
      {
        d.drawGlyph(v, g, static_cast<int>((penX + 32) >> 6), static_cast<int>((penY + 32) >> 6), clip, flags);
      }
      penX += g.advanceX;
      penY += g.advanceY;
      if (i + 1 < l.end) penX += SWELL_GetKerning(d.font, cps[i], cps[i + 1]);
    }
  }
  return height;
}
