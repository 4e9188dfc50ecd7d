#pragma once
// Value records shared by the graphics host, the controls and the drawing calls:
// rectangles, colours, text styles, blends, mouse modifiers and bitmap handles.
// All of them are plain values that controls copy freely.

#include <algorithm>
#include <cstring>

#include "IPlugEditorHooks.h"  // EFileAction: which file dialog PromptForFile opens

class LICE_IBitmap;
class LICE_CachedFont;

// A colour as four 0..255 components, alpha first.
struct IColor
{
  int A, R, G, B;

  constexpr IColor(int a = 255, int r = 0, int g = 0, int b = 0) noexcept
    : A(a),
      R(r),
      G(g),
      B(b)
  {
  }

  constexpr bool operator==(const IColor& rhs) const noexcept
  {
    return A == rhs.A && R == rhs.R && G == rhs.G && B == rhs.B;
  }
  constexpr bool operator!=(const IColor& rhs) const noexcept { return !(*this == rhs); }
  constexpr bool Empty() const noexcept { return A == 0 && R == 0 && G == 0 && B == 0; }

  // The raster layer's pixel word: bytes A, R, G, B in memory on a little-endian machine.
  constexpr unsigned int ToPixel() const noexcept
  {
    return static_cast<unsigned int>(A & 255) | static_cast<unsigned int>(R & 255) << 8 |
           static_cast<unsigned int>(G & 255) << 16 | static_cast<unsigned int>(B & 255) << 24;
  }
  static constexpr IColor FromPixel(unsigned int p) noexcept
  {
    return IColor(static_cast<int>(p & 255), static_cast<int>((p >> 8) & 255), static_cast<int>((p >> 16) & 255),
                  static_cast<int>((p >> 24) & 255));
  }
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);

inline constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

inline constexpr const char* DEFAULT_FONT = "Monaco";
inline constexpr int DEFAULT_TEXT_SIZE = 10;
inline constexpr int FONT_LEN = 32;

// How a drawing call combines its source with the surface.
struct IChannelBlend
{
  enum EBlendMethod : int
  {
    kBlendNone = 0,     // alpha blend with the source's alpha
    kBlendClobber = 1,  // opaque copy
    kBlendAdd = 2,
    kBlendColorDodge = 3
  };

  EBlendMethod mMethod;
  float mWeight;

  constexpr IChannelBlend(EBlendMethod method = kBlendNone, float weight = 1.0f) noexcept
    : mMethod(method),
      mWeight(weight)
  {
  }
};

// A text style. The cached font points into the process-wide font cache and is
// filled in on first use; the style's owner never frees it.
struct IText
{
  enum EStyle
  {
    kStyleNormal = 0,
    kStyleBold = 1,
    kStyleItalic = 2
  };
  enum EAlign
  {
    kAlignNear = 0,
    kAlignCenter = 1,
    kAlignFar = 2
  };
  enum EQuality
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFont[FONT_LEN];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;  // degrees
  EQuality mQuality;
  LICE_CachedFont* mCached;

  IText(int size = DEFAULT_TEXT_SIZE, const IColor* pColor = nullptr, const char* font = nullptr,
        EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
        EQuality quality = kQualityDefault, const IColor* pTEBGColor = nullptr,
        const IColor* pTEFGColor = nullptr) noexcept
    : mSize(size),
      mColor(pColor ? *pColor : DEFAULT_TEXT_COLOR),
      mTextEntryBGColor(pTEBGColor ? *pTEBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR),
      mTextEntryFGColor(pTEFGColor ? *pTEFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality),
      mCached(nullptr)
  {
    SetFont(font ? font : DEFAULT_FONT);
  }

  explicit IText(const IColor* pColor) noexcept
    : IText(DEFAULT_TEXT_SIZE, pColor)
  {
  }

  // Copies at most 31 characters so the face always stays NUL-terminated.
  void SetFont(const char* face) noexcept
  {
    std::memset(mFont, 0, sizeof(mFont));
    if (face) std::memcpy(mFont, face, strnlen(face, FONT_LEN - 1));
  }
};

// Mouse buttons and modifier keys: left, right (also a command-click), shift,
// control, option.
struct IMouseMod
{
  bool L, R, S, C, A;

  constexpr IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false) noexcept
    : L(l),
      R(r),
      S(s),
      C(c),
      A(a)
  {
  }
};

// A handle to a raster bitmap owned by the bitmap cache (or its loader), with the
// whole image's size and how many frames it is cut into.
struct IBitmap
{
  LICE_IBitmap* mData;
  int W, H, N;
  bool mFramesAreHorizontal;

  constexpr IBitmap(LICE_IBitmap* pData = nullptr, int w = 0, int h = 0, int n = 1,
                    bool framesAreHorizontal = false) noexcept
    : mData(pData),
      W(w),
      H(h),
      N(n),
      mFramesAreHorizontal(framesAreHorizontal)
  {
  }

  constexpr int FrameWidth() const noexcept { return (mFramesAreHorizontal && N > 0) ? W / N : W; }
  constexpr int FrameHeight() const noexcept { return (!mFramesAreHorizontal && N > 0) ? H / N : H; }
};

// An integer rectangle; all four values 0 means empty. Right and bottom are
// exclusive for hit tests.
struct IRECT
{
  int L, T, R, B;

  constexpr IRECT() noexcept
    : L(0),
      T(0),
      R(0),
      B(0)
  {
  }
  constexpr IRECT(int l, int t, int r, int b) noexcept
    : L(l),
      T(t),
      R(r),
      B(b)
  {
  }
  // One frame of the bitmap placed with its top-left corner at (x, y).
  constexpr IRECT(int x, int y, const IBitmap* pBitmap) noexcept
    : L(x),
      T(y),
      R(x + pBitmap->FrameWidth()),
      B(y + pBitmap->FrameHeight())
  {
  }

  constexpr bool Empty() const noexcept { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() noexcept { L = T = R = B = 0; }

  constexpr bool operator==(const IRECT& rhs) const noexcept
  {
    return L == rhs.L && T == rhs.T && R == rhs.R && B == rhs.B;
  }
  constexpr bool operator!=(const IRECT& rhs) const noexcept { return !(*this == rhs); }

  constexpr int W() const noexcept { return R - L; }
  constexpr int H() const noexcept { return B - T; }
  constexpr float MW() const noexcept { return 0.5f * static_cast<float>(L + R); }
  constexpr float MH() const noexcept { return 0.5f * static_cast<float>(T + B); }

  constexpr bool Contains(int x, int y) const noexcept { return !Empty() && x >= L && x < R && y >= T && y < B; }
  constexpr bool Contains(const IRECT* pR) const noexcept
  {
    return !Empty() && !pR->Empty() && pR->L >= L && pR->R <= R && pR->T >= T && pR->B <= B;
  }

  // Edges that touch count as intersecting: the far edges compare with >=.
  constexpr bool Intersects(const IRECT* pR) const noexcept
  {
    return !Empty() && !pR->Empty() && R >= pR->L && L < pR->R && B >= pR->T && T < pR->B;
  }

  constexpr IRECT Intersect(const IRECT* pR) const noexcept
  {
    if (!Intersects(pR)) return IRECT();
    return IRECT(std::max(L, pR->L), std::max(T, pR->T), std::min(R, pR->R), std::min(B, pR->B));
  }

  constexpr IRECT Union(const IRECT* pR) const noexcept
  {
    if (Empty()) return *pR;
    if (pR->Empty()) return *this;
    return IRECT(std::min(L, pR->L), std::min(T, pR->T), std::max(R, pR->R), std::max(B, pR->B));
  }

  constexpr IRECT GetPadded(int padding) const noexcept
  {
    return IRECT(L - padding, T - padding, R + padding, B + padding);
  }
};
