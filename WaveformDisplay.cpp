#include "WaveformDisplay.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IGraphics.h"
#include "IPlugBase.h"
#include "IPlugUtilities.h"
#include "lice.h"

static_assert(std::atomic<double>::is_always_lock_free, "the point hand-off must not lock");

namespace
{
constexpr double kFillOff = 0.7;
// Where the title image is drawn over the envelope, in editor pixels.
constexpr IRECT kTitleRect(288, 0, 420, 400);

// A stored point lies in -1..1. A value that is not a number is kept as silence
// (it would otherwise poison the drawing's coordinates), and an infinite one is
// limited like any other large value.
double LimitPoint(double v) noexcept
{
  if (std::isnan(v)) return 0.0;
  if (std::fabs(v) > 1.0) return std::copysign(1.0, v);
  return v;
}

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
  for (auto& s : mSamples) s.store(0.0, std::memory_order_relaxed);
}

WaveformDisplay::~WaveformDisplay() = default;

// ---- Operations the engine uses ----

void WaveformDisplay::setMaxCountDisplay(int sampleRate) noexcept { mDecimation = sampleRate / 100; }

// No averaging or peak picking: the stored point is the value offered at that call.
void WaveformDisplay::add(double v) noexcept
{
  if (mDecimCounter >= mDecimation)
  {
    const int pos = ClaimWritePos();
    mSamples[pos].store(LimitPoint(v), std::memory_order_relaxed);
    mWritePos.store(pos + 1 >= kRingSize ? 0 : pos + 1, std::memory_order_release);
    mHandOff.Stored();
    mDecimCounter = 0;
  }
  ++mDecimCounter;
}

int WaveformDisplay::ClaimWritePos() noexcept
{
  unsigned request = 0;
  if (!mHandOff.TakeClearRequest(&request)) return mWritePos.load(std::memory_order_relaxed);
  // The rewind is published before it is acknowledged, so drawing never pairs an
  // acknowledged clear with the position from before it.
  mWritePos.store(0, std::memory_order_release);
  mHandOff.AcknowledgeClear(request);
  return 0;
}

void WaveformDisplay::clear()
{
  RequestClear();
  // The push touches no field another thread draws from.
  const double value = std::clamp(mValue, mClampLo, mClampHi);
  if (mPlug && mParamIdx >= 0) mPlug->SetParameterFromGUI(mParamIdx, value);
}

int WaveformDisplay::TakePendingPushes() noexcept { return mHandOff.TakePendingPushes(); }

void WaveformDisplay::setOn2(bool on) noexcept { mFactor2 = on ? 1.0 : kFillOff; }

// ---- Drawing ----

int WaveformDisplay::WritePos() const noexcept
{
  if (mHandOff.ClearPending()) return 0;
  return mWritePos.load(std::memory_order_acquire);
}

double WaveformDisplay::Sample(int slot) const noexcept
{
  if (slot < 0 || slot >= kRingSize) return 0.0;
  return mSamples[slot].load(std::memory_order_relaxed);
}

bool WaveformDisplay::IsDirty()
{
  if (mHandOff.TakeRedraw()) mDirty = true;
  return mDirty;
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
    const double a = std::fabs(mSamples[j].load(std::memory_order_relaxed) * scale);
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
