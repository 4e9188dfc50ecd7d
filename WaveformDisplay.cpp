#include "WaveformDisplay.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IGraphics.h"
#include "IPlugUtilities.h"
#include "lice.h"

namespace
{
constexpr double kFillOff = 0.7;
// Where the title image is drawn over the envelope, in editor pixels.
constexpr IRECT kTitleRect(288, 0, 420, 400);

}  // namespace

WaveformDisplay::WaveformDisplay(IPlugBase* pPlug, int x, int y, int w, int h, int paramIdx, IBitmap* pTitle,
                                 IChannelBlend blend)
  : IControl(pPlug, IRECT(x, y, x + w, y + h), paramIdx, blend),
    mTitle(pTitle ? *pTitle : IBitmap()),
    mX(x),
    mY(y),
    mW(w),
    mHalfH(h / 2),
    mFillColor(15, 0, 0, 0),
    mLineColor(15, 0, 0, 0)
{
}

WaveformDisplay::~WaveformDisplay() = default;

// ---- The points ----

void WaveformDisplay::ShowPoints(const double* points, int writePos) noexcept
{
  std::copy(points, points + kRingSize, mSamples);
  mWritePos = (writePos >= 0 && writePos < kRingSize) ? writePos : 0;
  mDirty = true;
}

void WaveformDisplay::ApplyHandOff()
{
  if (!mFeed) return;
  const std::uint64_t stored = mFeed->PointsStored();
  const bool pending = mFeed->WaveformClearPending();
  if (stored == mPointsSeen && pending == mShowsPendingClear) return;
  // A point stored while this copies changes the count: the next tick copies again.
  double points[kRingSize];
  const int writePos = mFeed->CopyWaveform(points);
  ShowPoints(points, writePos);
  mPointsSeen = stored;
  mShowsPendingClear = pending;
}

void WaveformDisplay::setOn2(bool on) noexcept { mFactor2 = on ? 1.0 : kFillOff; }

// ---- Drawing ----

double WaveformDisplay::Sample(int slot) const noexcept
{
  if (slot < 0 || slot >= kRingSize) return 0.0;
  return mSamples[slot];
}

void WaveformDisplay::DrawFill(IGraphics* pGraphics, int x, int cy, double a)
{
  // From t = max(cy + 1, height - cy) on, both points lie off the surface.
  const LICE_SysBitmap* pSurface = pGraphics->GetDrawBitmap();
  if (!pSurface || !(a > 0.0)) return;
  const int visible = std::max(cy + 1, pSurface->getHeight() - cy);
  const int n = a < visible ? static_cast<int>(std::ceil(a)) : visible;
  for (int t0 = 0; t0 < n; t0 += kFillChunk)
  {
    const int m = std::min(kFillChunk, n - t0);
    for (int k = 0; k < m; ++k)
    {
      const int grey = TruncateToInt(((t0 + k) / a * 255.0 * 0.5 + 127.0) * mFactor2 * 0.4);
      mFillColor.R = mFillColor.G = mFillColor.B = grey;
      mFillPixels[k] = mFillColor.ToPixel();
    }
    pGraphics->DrawPointRun(mFillPixels, m, x, cy - t0, 0, -1);
    pGraphics->DrawPointRun(mFillPixels, m, x, cy + t0, 0, 1);
  }
}

bool WaveformDisplay::Draw(IGraphics* pGraphics)
{
  const int top = mRECT.T, bottom = mRECT.B;
  const int cy = top + mHalfH;
  const int scale = (bottom - top) / 2 - 1;
  // The newest point ends up in the last column.
  int j = ((WritePos() - mW) % kRingSize + kRingSize) % kRingSize;

  float prevX = static_cast<float>(mX);
  float prevHi = static_cast<float>(mY + mHalfH);
  float prevLo = prevHi;
  for (int c = 0; c < mW; ++c)
  {
    const int x = mX + c;
    const double a = std::fabs(mSamples[j] * scale);
    DrawFill(pGraphics, x, cy, a);
    if (a != 0.0)
    {
      pGraphics->DrawPoint(&mLineColor, prevX, prevHi, nullptr, false);
      pGraphics->DrawLine(&mLineColor, prevX, prevHi, static_cast<float>(x), static_cast<float>(cy - a), nullptr,
                          false);
      pGraphics->DrawLine(&mLineColor, prevX, prevLo, static_cast<float>(x), static_cast<float>(cy + a), nullptr,
                          false);
    }
    prevX = static_cast<float>(x);
    prevHi = static_cast<float>(TruncateToInt(cy - a));
    prevLo = static_cast<float>(TruncateToInt(cy + a));
    j = j + 1 >= kRingSize ? 0 : j + 1;
  }

  IRECT title = kTitleRect;
  pGraphics->DrawBitmap(&mTitle, &title, 1, &mBlend);
  return true;
}

// ---- Mouse ----

void WaveformDisplay::OnMouseDown(int, int, IMouseMod*) { SetDirty(true); }
void WaveformDisplay::OnMouseUp(int, int, IMouseMod*) { SetDirty(true); }
void WaveformDisplay::OnMouseDblClick(int x, int y, IMouseMod* pMod) { OnMouseDown(x, y, pMod); }
void WaveformDisplay::OnMouseOver(int, int, IMouseMod*) { SetDirty(true); }
void WaveformDisplay::OnMouseOut() { SetDirty(true); }
