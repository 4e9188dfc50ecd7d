#include "FFTDisplay.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Ctrlo.h"
#include "IGraphics.h"
#include "IPlugUtilities.h"
#include "PortableMath.h"
#include "TeskDisplayFeed.h"

namespace
{
// A colour channel: truncated, then held inside 0..255 so a strong greyed magnitude
// stays bright instead of wrapping round to near black.
int Channel(double v) noexcept { return std::clamp(TruncateToInt(v), 0, 255); }

// A handle placed outside its travel stays at most this far from the origin, so
// every sum the drawing and the mouse form from its position stays inside int.
constexpr int kFarOutside = 1 << 24;
int PlaceHandle(double x) noexcept { return std::clamp(TruncateToInt(x), -kFarOutside, kFarOutside); }

// The map's first screen column, independent of the control's own left edge.
constexpr int kMapRight = 300;
// Rows are drawn this many pixels above the inner area's top.
constexpr int kRowLift = 3;
// Handles are drawn this many pixels above the control's top.
constexpr int kHandleLift = 4;
}  // namespace

FFTDisplay::FFTDisplay(IPlugBase* pPlug, Ctrlo* pLowHolder, Ctrlo* pHighHolder, int x, int y, int w, int h,
                       int maxCount, int paramIdx, IBitmap handle, IChannelBlend blend)
  : IControl(pPlug, IRECT(x, y, x + w, y + h), paramIdx, blend),
    mLowHolder(pLowHolder),
    mHighHolder(pHighHolder),
    mW(w),
    mH(h),
    mInnerLeft(0),
    mInnerTop(0),
    mInnerW(InnerWidth(w)),
    mInnerH(static_cast<int>(0.65 * h)),
    mMaxCount(maxCount),
    mRowLen(std::max(maxCount / 2, 0)),
    mLogStep(0.0),
    mPixelColor(255, 0, 0, 0),
    mHandle(handle)
{
  mInnerLeft = static_cast<int>(x + (w - mInnerW) * 0.5);
  mInnerTop = static_cast<int>(y + h * 0.5 - mInnerH * 0.5);
  const int margin = (w - mInnerW) / 2;
  mXmMin = x + margin - mHandle.W / 2;
  mXmMax = x + w - margin - mHandle.W / 2;
  xm1.store(mXmMin);
  xm2.store(mXmMax);
  mLogStep = portable_math::Pow(10.0, portable_math::Log10(mMaxCount / 2) / (mInnerW * 2.5));

  const int rows = std::max(mInnerH, 0);
  mHistory = std::make_unique<double[]>(static_cast<size_t>(rows) * mRowLen);

  // The axis starts linear and grows geometrically; it never changes, so the bin
  // of every column is worked out once.
  const int columns = std::max(mInnerW, 0);
  mColumnBins = std::make_unique<unsigned[]>(static_cast<size_t>(columns));
  mRowPixels = std::make_unique<LICE_pixel[]>(static_cast<size_t>(columns));
  double e = 1.0;
  for (int c = 0; c < columns; ++c)
  {
    const double b = e - 1.0;
    mColumnBins[c] = b >= static_cast<double>(std::numeric_limits<unsigned>::max())
                       ? std::numeric_limits<unsigned>::max()
                       : static_cast<unsigned>(b);
    e = e * mLogStep + 1.0;
  }
}

FFTDisplay::~FFTDisplay() = default;

// ---- The history ----

void FFTDisplay::addFFT(const double* spectrumA, const double* spectrumB, int n) noexcept
{
  if (mInnerH > 0)
  {
    // Never past the row: the rest of the row keeps its older magnitudes.
    const int count = std::clamp(n, 0, mRowLen);
    double* row = mHistory.get() + static_cast<size_t>(mWritePos) * mRowLen;
    for (int k = 0; k < count; ++k) row[k] = (spectrumA[k] + spectrumB[k]) * 5.0 * 0.5;
  }
  SkipRows(1);
}

void FFTDisplay::AddSummedSpectrum(const double* sums, int n) noexcept
{
  if (mInnerH > 0)
  {
    const int count = std::clamp(n, 0, mRowLen);
    double* row = mHistory.get() + static_cast<size_t>(mWritePos) * mRowLen;
    for (int k = 0; k < count; ++k) row[k] = sums[k] * 5.0 * 0.5;
  }
  SkipRows(1);
}

void FFTDisplay::SkipRows(std::uint64_t n) noexcept
{
  if (mInnerH > 0) mWritePos = static_cast<int>((mWritePos + n % static_cast<std::uint64_t>(mInnerH)) % mInnerH);
  mDirty = true;
}

void FFTDisplay::Wipe() noexcept
{
  std::fill(mHistory.get(), mHistory.get() + static_cast<size_t>(std::max(mInnerH, 0)) * mRowLen, 0.0);
  mDirty = true;
}

void FFTDisplay::SetFeed(const TeskDisplayFeed* pFeed)
{
  mFeed = pFeed;
  if (pFeed && !mFeedRow) mFeedRow = std::make_unique<double[]>(TeskDisplayFeed::kSpectrumBins);
}

void FFTDisplay::ApplyHandOff()
{
  if (mFeed) DrainFeed();
}

void FFTDisplay::DrainFeed() noexcept
{
  const TeskDisplayFeed& feed = *mFeed;
  // A requested clear wipes everything stored before the audio thread performs it:
  // show the wipe now and take nothing until then.
  if (feed.SpectrumClearPending())
  {
    if (!mShowsPendingClear) Wipe();
    mShowsPendingClear = true;
    return;
  }
  const std::uint64_t stored = feed.SpectraStored();
  const std::uint64_t wipedBefore = feed.SpectraWipedBefore();
  if (wipedBefore > mWipedBefore || mShowsPendingClear)
  {
    // The spectra before the clear went by while it waited: their rows pass wiped.
    if (wipedBefore > mSpectraSeen) SkipRows(wipedBefore - mSpectraSeen);
    Wipe();
    mSpectraSeen = std::max(mSpectraSeen, wipedBefore);
    mWipedBefore = wipedBefore;
    mShowsPendingClear = false;
  }
  if (stored <= mSpectraSeen) return;
  // Only the last mInnerH spectra can show; the rows of older ones pass unwritten.
  const std::uint64_t rows = static_cast<std::uint64_t>(std::max(mInnerH, 1));
  if (stored - mSpectraSeen > rows)
  {
    SkipRows(stored - rows - mSpectraSeen);
    mSpectraSeen = stored - rows;
  }
  for (; mSpectraSeen < stored; ++mSpectraSeen)
  {
    // Overtaken by the writer (it is far ahead): the next tick goes on from the newest.
    if (!feed.CopySpectrum(mSpectraSeen, mFeedRow.get())) return;
    AddSummedSpectrum(mFeedRow.get(), TeskDisplayFeed::kSpectrumBins);
  }
}

void FFTDisplay::setxm1(double v) noexcept { xm1.store(PlaceHandle(mXmMin + (mXmMax - mXmMin) * v)); }
void FFTDisplay::setxm2(double v) noexcept { xm2.store(PlaceHandle(mXmMin + (mXmMax - mXmMin) * v)); }
void FFTDisplay::PlaceLowHandle(int offset) noexcept { xm1.store(PlaceHandle(static_cast<double>(mXmMin) + offset)); }
void FFTDisplay::PlaceHighHandle(int offset) noexcept { xm2.store(PlaceHandle(static_cast<double>(mXmMin) + offset)); }

// A travel of zero pixels (a display narrower than its handle) has no fraction.
double FFTDisplay::GetLow() const noexcept
{
  const int span = mXmMax - mXmMin;
  return span == 0 ? 0.0 : static_cast<double>(Xm1() - mXmMin) / span;
}

double FFTDisplay::GetHigh() const noexcept
{
  const int span = mXmMax - mXmMin;
  return span == 0 ? 0.0 : static_cast<double>(Xm2() - mXmMin) / span;
}

// ---- Drawing ----

double FFTDisplay::HistoryValue(int row, int k) const noexcept
{
  if (row < 0 || row >= mInnerH || k < 0 || k >= mRowLen) return 0.0;
  return mHistory[static_cast<size_t>(row) * mRowLen + k];
}

unsigned FFTDisplay::ColumnBin(int c) const noexcept { return (c >= 0 && c < mInnerW) ? mColumnBins[c] : 0u; }

void FFTDisplay::PickColor(double stored, bool greyed) noexcept
{
  // A magnitude that is not a number shows as silence.
  if (std::isnan(stored)) stored = 0.0;
  const double level = std::min(std::fabs(stored + 0.2) / 100.0, 1.0);
  double t;
  if (level < 0.333)
  {
    t = 3.0 * level;
    mPixelColor.R = 0;
    mPixelColor.G = Channel(255.0 * t);
    mPixelColor.B = Channel(155.0 * (1.0 - t));
  }
  else if (level < 0.66)
  {
    t = 3.0 * (level - 0.33);
    mPixelColor.R = 255;
    mPixelColor.G = Channel(255.0 * t);
    mPixelColor.B = 0;
  }
  else
  {
    mPixelColor.R = 255;
    mPixelColor.G = Channel(255.0 * (1.0 - level));
    mPixelColor.B = 0;
    t = 3.0 * (level - 0.66);
  }
  if (greyed) mPixelColor.R = mPixelColor.G = mPixelColor.B = Channel(255.0 * t);
}

// Grey outside the band between the two handle centres, or strictly inside it when inverted.
bool FFTDisplay::IsGreyed(int x, int low, int high, bool inv) const noexcept
{
  const int hw = mHandle.W / 2;
  if (!inv) return x < low + hw || x - hw > high;
  return x > low + hw && x - hw < high;
}

bool FFTDisplay::Draw(IGraphics* pGraphics)
{
  const int low = Xm1(), high = Xm2();
  const bool inv = mInv.load();
  const int firstX = kMapRight - mInnerW - mInnerLeft;

  // Oldest row at the top, newest at the bottom.
  for (int r = 0; r < mInnerH; ++r)
  {
    const int i = (mWritePos + r) % mInnerH;
    const double* row = mHistory.get() + static_cast<size_t>(i) * mRowLen;
    for (int c = 0; c < mInnerW; ++c)
    {
      const unsigned b = mColumnBins[c];
      // A bin past the row (a short history) shows as silence rather than being read.
      const double stored = b >= static_cast<unsigned>(mRowLen) ? 0.0 : row[b];
      PickColor(stored, IsGreyed(firstX + c, low, high, inv));
      mRowPixels[c] = mPixelColor.ToPixel();
    }
    pGraphics->DrawPointRun(mRowPixels.get(), mInnerW, firstX, mInnerTop + r - kRowLift, 1, 0);
  }

  // The graphics host limits each copy to the image, so each handle is drawn whole.
  const int top = mRECT.T;
  IRECT lowRect(low, top - kHandleLift, low + mW, top + mH);
  pGraphics->DrawBitmap(&mHandle, &lowRect, 0, 0, &mBlend);
  IRECT highRect(high, top - kHandleLift, high + mW, top + mH);
  pGraphics->DrawBitmap(&mHandle, &highRect, 0, 0, &mBlend);
  return true;
}

// ---- Mouse ----

// Left of the low handle's right edge takes the low handle, right of the high
// handle's left edge the high one, anything between the band.
void FFTDisplay::OnMouseDown(int x, int, IMouseMod*)
{
  const int HW = mHandle.W;
  mDragLow = x < Xm1() + HW;
  mDragHigh = !mDragLow && x > Xm2();
  mDragBand = !mDragLow && !mDragHigh;
  SetDirty(true);
}

// A refused step moves nothing (no clamping to the limit), so handle and pointer may
// drift apart.
void FFTDisplay::OnMouseDrag(int, int, int dX, int, IMouseMod*)
{
  // Tested in 64 bits: a handle far outside its travel plus any step stays exact.
  const long long HW = mHandle.W;
  const long long low = Xm1(), high = Xm2();
  if (mDragLow)
  {
    if (low + dX >= mXmMin && low + dX + HW <= high) xm1.store(static_cast<int>(low + dX));
  }
  else if (mDragHigh)
  {
    if (high + dX <= mXmMax && high + dX - HW > low) xm2.store(static_cast<int>(high + dX));
  }
  else if (mDragBand)
  {
    if (low + dX >= mXmMin && high + dX <= mXmMax)
    {
      xm1.store(static_cast<int>(low + dX));
      xm2.store(static_cast<int>(high + dX));
    }
  }
  if (mHandleListener) mHandleListener->HandlesDragged(Xm1() - mXmMin, Xm2() - mXmMin);
  if (mLowHolder) mLowHolder->SetValue(GetLow());
  if (mHighHolder) mHighHolder->SetValue(GetHigh());
  SetDirty(true);
}

// The band flag stays until the next press, which sets all three.
void FFTDisplay::OnMouseUp(int, int, IMouseMod*)
{
  mDragLow = false;
  mDragHigh = false;
  SetDirty(true);
}

void FFTDisplay::OnMouseDblClick(int x, int y, IMouseMod* pMod)
{
  OnMouseDown(x, y, pMod);
  SetDirty(true);
}

void FFTDisplay::OnMouseOver(int, int, IMouseMod*) { SetDirty(true); }
void FFTDisplay::OnMouseOut() { SetDirty(true); }
