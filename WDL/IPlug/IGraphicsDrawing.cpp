// The drawing calls controls use. Each maps the control's blend to the raster
// layer's mode word and weight and draws into the drawing surface.

#include <cmath>
#include <numbers>

#include "IGraphics.h"
#include "lice.h"

namespace
{
// Blits, fills and shapes draw with the source's (or colour's) alpha unless the
// blend asks for an opaque copy.
int BlendMode(const IChannelBlend* pBlend) noexcept
{
  if (!pBlend) return LICE_BLIT_USE_ALPHA;
  switch (pBlend->mMethod)
  {
    case IChannelBlend::kBlendClobber: return LICE_BLIT_MODE_COPY;
    case IChannelBlend::kBlendAdd: return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IChannelBlend::kBlendColorDodge: return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default: return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  }
}

// Points and lines store the colour word itself, so they take no alpha bit.
int LineMode(const IChannelBlend* pBlend) noexcept
{
  if (!pBlend) return LICE_BLIT_MODE_COPY;
  switch (pBlend->mMethod)
  {
    case IChannelBlend::kBlendAdd: return LICE_BLIT_MODE_ADD;
    case IChannelBlend::kBlendColorDodge: return LICE_BLIT_MODE_DODGE;
    default: return LICE_BLIT_MODE_COPY;
  }
}

float Weight(const IChannelBlend* pBlend) noexcept { return pBlend ? pBlend->mWeight : 1.0f; }

LICE_pixel Pixel(const IColor* pColor) noexcept { return pColor->ToPixel(); }
}  // namespace

// ---- Bitmaps ----

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend)
{
  // An image that could not be loaded has no data and draws nothing.
  if (!pBitmap || !pBitmap->mData || !mDrawBitmap) return false;
  const IRECT r = pDest->Intersect(&mDrawRECT);
  srcX += r.L - pDest->L;
  srcY += r.T - pDest->T;
  LICE_Blit(mDrawBitmap, pBitmap->mData, r.L, r.T, srcX, srcY, r.W(), r.H(), Weight(pBlend), BlendMode(pBlend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int frame, const IChannelBlend* pBlend)
{
  if (!pBitmap) return false;
  int srcX = 0, srcY = 0;
  if (pBitmap->N >= 2 && frame >= 2)
  {
    // Multiply before dividing: an offset that is exactly half a pixel must round up.
    const double n = pBitmap->N, steps = frame - 1;
    if (pBitmap->mFramesAreHorizontal)
      srcX = static_cast<int>(steps * pBitmap->W / n + 0.5);
    else
      srcY = static_cast<int>(steps * pBitmap->H / n + 0.5);
  }
  return DrawBitmap(pBitmap, pDest, srcX, srcY, pBlend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg,
                                  const IChannelBlend* pBlend)
{
  if (!pBitmap || !pBitmap->mData || !mDrawBitmap) return false;
  const int W = pBitmap->W, H = pBitmap->H;
  LICE_RotatedBlit(mDrawBitmap, pBitmap->mData, destCtrX - W / 2, destCtrY - H / 2, W, H, 0.0f, 0.0f,
                   static_cast<float>(W), static_cast<float>(H), static_cast<float>(angle), false, Weight(pBlend),
                   BlendMode(pBlend) | LICE_BLIT_FILTER_BILINEAR, 0.0f, static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                                const IChannelBlend* pBlend)
{
  if (!pBase || !pBase->mData || !pMask || !pMask->mData || !pTop || !pTop->mData || !mDrawBitmap) return false;
  if (!mTmpBitmap) mTmpBitmap = new LICE_MemBitmap(0, 0, 4);
  const int W = pBase->W, H = pBase->H;
  const float radians = static_cast<float>(angle * std::numbers::pi / 180.0);
  const float xOffset = (W % 2 == 0) ? 0.0f : -0.5f;  // keeps odd-sized images centred on a pixel

  LICE_Copy(mTmpBitmap, pBase->mData);
  LICE_ClearRect(mTmpBitmap, 0, 0, W, H, 0xFFFFFF00u, 0);
  LICE_RotatedBlit(mTmpBitmap, pMask->mData, 0, 0, W, H, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H),
                   radians, true, 1.0f, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR, xOffset,
                   0.0f);
  LICE_RotatedBlit(mTmpBitmap, pTop->mData, 0, 0, W, H, 0.0f, 0.0f, static_cast<float>(W), static_cast<float>(H),
                   radians, true, 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR, xOffset,
                   0.0f);

  IBitmap scratch(mTmpBitmap, W, H);
  IRECT dest(x, y, x + W, y + H);
  return DrawBitmap(&scratch, &dest, 0, 0, pBlend);
}

// ---- Points and lines ----

bool IGraphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend, bool)
{
  LICE_PutPixel(mDrawBitmap, static_cast<int>(x + 0.5f), static_cast<int>(y + 0.5f), Pixel(pColor), Weight(pBlend),
                LineMode(pBlend));
  return true;
}

bool IGraphics::DrawPointRun(const LICE_pixel* colors, int n, int x, int y, int dx, int dy)
{
  LICE_pixel* bits = mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
  if (!bits) return false;
  const int w = mDrawBitmap->getWidth(), h = mDrawBitmap->getHeight();
  const long span = mDrawBitmap->getRowSpan();
  for (int i = 0; i < n; ++i, x += dx, y += dy)
    if (x >= 0 && y >= 0 && x < w && y < h) bits[static_cast<long>(y) * span + x] = colors[i];
  return true;
}

bool IGraphics::ForcePixel(const IColor* pColor, int x, int y)
{
  // Writing straight into memory, so a point off the surface must not be written.
  if (!mDrawBitmap || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight()) return false;
  LICE_pixel* bits = mDrawBitmap->getBits();
  if (!bits) return false;
  bits[static_cast<long>(y) * mDrawBitmap->getRowSpan() + x] = Pixel(pColor);
  return true;
}

bool IGraphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend,
                         bool antiAlias)
{
  LICE_Line(mDrawBitmap, static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
            Pixel(pColor), Weight(pBlend), LineMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::DrawRect(const IColor* pColor, IRECT* pR)
{
  const LICE_pixel c = Pixel(pColor);
  LICE_Line(mDrawBitmap, pR->L, pR->T, pR->R, pR->T, c, 1.0f, LICE_BLIT_MODE_COPY, false);
  LICE_Line(mDrawBitmap, pR->L, pR->B, pR->R, pR->B, c, 1.0f, LICE_BLIT_MODE_COPY, false);
  LICE_Line(mDrawBitmap, pR->L, pR->T, pR->L, pR->B, c, 1.0f, LICE_BLIT_MODE_COPY, false);
  LICE_Line(mDrawBitmap, pR->R, pR->T, pR->R, pR->B, c, 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi)
{
  LICE_Line(mDrawBitmap, xi, yLo, xi, yHi, Pixel(pColor), 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi)
{
  LICE_Line(mDrawBitmap, xLo, yi, xHi, yi, Pixel(pColor), 1.0f, LICE_BLIT_MODE_COPY, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x)
{
  x = std::clamp(x, 0.0f, 1.0f);
  const int xi = pR->L + static_cast<int>(static_cast<float>(pR->W()) * x);
  return DrawVerticalLine(pColor, xi, pR->T, pR->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y)
{
  y = std::clamp(y, 0.0f, 1.0f);
  const int yi = pR->B - static_cast<int>(static_cast<float>(pR->H()) * y);
  return DrawHorizontalLine(pColor, yi, pR->L, pR->R);
}

bool IGraphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* pBlend, bool antiAlias)
{
  const float sinV = std::sin(angle), cosV = std::cos(angle);
  return DrawLine(pColor, cx + rMin * sinV, cy - rMin * cosV, cx + rMax * sinV, cy - rMax * cosV, pBlend, antiAlias);
}

// ---- Shapes ----

bool IGraphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* pBlend, bool antiAlias)
{
  LICE_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, Pixel(pColor), Weight(pBlend), BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend,
                           bool antiAlias)
{
  LICE_Circle(mDrawBitmap, cx, cy, r, Pixel(pColor), Weight(pBlend), BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerradius,
                          bool antiAlias)
{
  LICE_RoundRect(mDrawBitmap, static_cast<float>(pR->L), static_cast<float>(pR->T), static_cast<float>(pR->W()),
                 static_cast<float>(pR->H()), cornerradius, Pixel(pColor), Weight(pBlend), BlendMode(pBlend),
                 antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerradius,
                              bool antiAlias)
{
  const int c = cornerradius, W = pR->W(), H = pR->H();
  const LICE_pixel k = Pixel(pColor);
  const float w = Weight(pBlend);
  const int mode = BlendMode(pBlend);
  const float r = static_cast<float>(c);
  LICE_FillRect(mDrawBitmap, pR->L + c, pR->T, W - 2 * c, H, k, w, mode);
  LICE_FillRect(mDrawBitmap, pR->L, pR->T + c, c, H - 2 * c, k, w, mode);
  LICE_FillRect(mDrawBitmap, pR->R - c, pR->T + c, c, H - 2 * c, k, w, mode);
  LICE_FillCircle(mDrawBitmap, static_cast<float>(pR->L + c), static_cast<float>(pR->T + c), r, k, w, mode, antiAlias);
  LICE_FillCircle(mDrawBitmap, static_cast<float>(pR->R - c - 1), static_cast<float>(pR->B - c - 1), r, k, w, mode,
                  antiAlias);
  LICE_FillCircle(mDrawBitmap, static_cast<float>(pR->R - c - 1), static_cast<float>(pR->T + c), r, k, w, mode,
                  antiAlias);
  LICE_FillCircle(mDrawBitmap, static_cast<float>(pR->L + c), static_cast<float>(pR->B - c - 1), r, k, w, mode,
                  antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend)
{
  LICE_FillRect(mDrawBitmap, pR->L, pR->T, pR->W(), pR->H(), Pixel(pColor), Weight(pBlend), BlendMode(pBlend));
  return true;
}

bool IGraphics::FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend, bool antiAlias)
{
  LICE_FillCircle(mDrawBitmap, static_cast<float>(cx), static_cast<float>(cy), r, Pixel(pColor), Weight(pBlend),
                  BlendMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* pBlend)
{
  LICE_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, Pixel(pColor), Weight(pBlend), BlendMode(pBlend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints, const IChannelBlend* pBlend)
{
  LICE_FillConvexPolygon(mDrawBitmap, x, y, npoints, Pixel(pColor), Weight(pBlend), BlendMode(pBlend));
  return true;
}

// ---- Reading the surface ----

IColor IGraphics::GetPoint(int x, int y) { return IColor::FromPixel(LICE_GetPixel(mDrawBitmap, x, y)); }

void* IGraphics::GetBits() { return mDrawBitmap ? mDrawBitmap->getBits() : nullptr; }

// ---- Whole-editor snapshots ----

bool IGraphics::DrawAll()
{
  SetAllControlsDirty();
  IRECT all(0, 0, Width(), Height());
  return Draw(&all);
}

bool IGraphics::WriteSnapshotPNG(const char* path, const IRECT* pR)
{
  if (!path || !mDrawBitmap) return false;
  const IRECT surface(0, 0, mDrawBitmap->getWidth(), mDrawBitmap->getHeight());
  const IRECT area = pR ? surface.Intersect(pR) : surface;
  if (area.W() <= 0 || area.H() <= 0) return false;
  LICE_MemBitmap out(area.W(), area.H(), 1);
  LICE_Blit(&out, mDrawBitmap, 0, 0, area.L, area.T, area.W(), area.H(), 1.0f, LICE_BLIT_MODE_COPY);
  // The screen ignores the surface's alpha, so the snapshot does too.
  return LICE_WritePNG(path, &out, false);
}
