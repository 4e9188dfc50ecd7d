// Bitmaps and text of the graphics host: loading through the process-wide bitmap
// cache, retaining, releasing, scaling and cropping; fonts through the font cache.

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "IGraphics.h"
#include "IGraphicsStorage.h"
#include "lice.h"

namespace
{
// A missing image is reported once per process, not on every editor opened.
void ReportMissingImage(int ID, const char* name)
{
  static std::mutex mutex;
  static std::set<std::string> reported;
  const std::string key = std::to_string(ID) + ":" + (name ? name : "");
  std::lock_guard<std::mutex> lock(mutex);
  if (reported.insert(key).second)
    std::fprintf(stderr, "graphics: image %d \"%s\" could not be loaded; it will not be drawn\n", ID, name ? name : "");
}
}  // namespace

IBitmap IGraphics::LoadIBitmap(int ID, const char* name, int nStates, bool framesAreHorizontal)
{
  BitmapStorage& cache = GetBitmapStorage();
  LICE_IBitmap* lb = cache.Find(ID);
  if (!lb)
  {
    lb = OSLoadBitmap(ID, name);
    if (lb)
      cache.Add(lb, ID);
    else
      ReportMissingImage(ID, name);
  }
  if (!lb) return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
  return IBitmap(lb, lb->getWidth(), lb->getHeight(), nStates, framesAreHorizontal);
}

void IGraphics::RetainBitmap(IBitmap* pBitmap)
{
  if (pBitmap && pBitmap->mData) GetBitmapStorage().Add(pBitmap->mData, -1);
}

void IGraphics::ReleaseBitmap(IBitmap* pBitmap)
{
  if (!pBitmap || !pBitmap->mData) return;
  GetBitmapStorage().Remove(pBitmap->mData);
  pBitmap->mData = nullptr;
}

IBitmap IGraphics::ScaleBitmap(IBitmap* pBitmap, int destW, int destH)
{
  if (!pBitmap || !pBitmap->mData || destW <= 0 || destH <= 0) return IBitmap(nullptr, 0, 0, pBitmap ? pBitmap->N : 1);
  LICE_MemBitmap* pDest = new LICE_MemBitmap(destW, destH, 4);
  LICE_ScaledBlit(pDest, pBitmap->mData, 0, 0, destW, destH, 0.0f, 0.0f, static_cast<float>(pBitmap->W),
                  static_cast<float>(pBitmap->H), 1.0f, LICE_BLIT_FILTER_BILINEAR);
  IBitmap scaled(pDest, destW, destH, pBitmap->N);
  RetainBitmap(&scaled);
  return scaled;
}

IBitmap IGraphics::CropBitmap(IBitmap* pBitmap, IRECT* pR)
{
  const int W = pR->W(), H = pR->H();
  if (!pBitmap || !pBitmap->mData || W <= 0 || H <= 0) return IBitmap(nullptr, 0, 0, pBitmap ? pBitmap->N : 1);
  LICE_MemBitmap* pDest = new LICE_MemBitmap(W, H, 4);
  LICE_Blit(pDest, pBitmap->mData, 0, 0, pR->L, pR->T, W, H, 1.0f, LICE_BLIT_MODE_COPY);
  IBitmap cropped(pDest, W, H, pBitmap->N);
  RetainBitmap(&cropped);
  return cropped;
}

// ---- Fonts and text ----

namespace
{
HFONT MakePlatformFont(const IText* pTxt, int height)
{
  const int weight = pTxt->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL;
  const char italic = pTxt->mStyle == IText::kStyleItalic ? 1 : 0;
  int quality = NONANTIALIASED_QUALITY;
  if (pTxt->mQuality == IText::kQualityDefault)
    quality = DEFAULT_QUALITY;
  else if (pTxt->mQuality == IText::kQualityAntiAliased || pTxt->mQuality == IText::kQualityClearType)
    quality = ANTIALIASED_QUALITY;
  const int esc = pTxt->mOrientation * 10;
  return CreateFont(height, 0, esc, esc, weight, italic, 0, 0, 0, 0, 0, static_cast<char>(quality), 0, pTxt->mFont);
}
}  // namespace

LICE_CachedFont* IGraphics::CacheFont(IText* pTxt)
{
  FontStorage& cache = GetFontStorage();
  if (LICE_CachedFont* font = cache.Find(pTxt))
  {
    pTxt->mCached = font;
    return font;
  }

  int h = std::max(2, pTxt->mSize);
  HFONT hFont = MakePlatformFont(pTxt, h);
  if (!hFont) return nullptr;
  LICE_CachedFont* font = new LICE_CachedFont();
  font->SetFromHFont(hFont, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);

  // One correction pass so the line height comes close to the asked size.
  const int lineHeight = font->GetLineHeight();
  if (lineHeight > 0 && lineHeight != h)
  {
    h = std::max(2, static_cast<int>(static_cast<double>(h) * h / lineHeight + 0.5));
    if (HFONT hFont2 = MakePlatformFont(pTxt, h))
      font->SetFromHFont(hFont2, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  }

  cache.Add(font, pTxt);
  pTxt->mCached = font;
  return font;
}

bool IGraphics::DrawIText(IText* pTxt, const char* str, IRECT* pR, bool measure)
{
  if (!str || !*str) return true;
  LICE_CachedFont* font = pTxt->mCached ? pTxt->mCached : CacheFont(pTxt);
  if (!font) return false;
  font->SetTextColor(pTxt->mColor.ToPixel());

  int flags = LICE_DT_NOCLIP;
  if (pTxt->mColor.A != 255) flags |= LICE_DT_USEFGALPHA;
  if (pTxt->mAlign == IText::kAlignCenter)
    flags |= LICE_DT_CENTER;
  else if (pTxt->mAlign != IText::kAlignNear)
    flags |= LICE_DT_RIGHT;

  if (!measure)
  {
    RECT r{pR->L, pR->T, pR->R, pR->B};
    font->DrawText(mDrawBitmap, str, -1, &r, flags);
    return true;
  }

  RECT r{0, 0, 0, 0};
  font->DrawText(mDrawBitmap, str, -1, &r, flags | LICE_DT_CALCRECT);
  const int w = r.right, h = r.bottom;
  if (pTxt->mAlign == IText::kAlignCenter)
  {
    pR->L = static_cast<int>((pR->L + pR->R) * 0.5) - w / 2;
    pR->R = pR->L + w;
  }
  else if (pTxt->mAlign == IText::kAlignNear)
  {
    pR->R = pR->L + w;  // the text's right edge wherever the rectangle starts
  }
  else
  {
    pR->L = pR->R - w;
  }
  pR->B = pR->T + h;
  return true;
}

bool IGraphics::MeasureIText(IText* pTxt, const char* str, IRECT* pR) { return DrawIText(pTxt, str, pR, true); }
