// The buffer plumbing of IPlugBase: scratch buffers, attaching the host's buffers
// to the channel slots, and running the processor or the default copy over them.

#include "IPlugBase.h"

#include <cstring>

namespace
{
void ZeroDoubles(double* p, int n) noexcept
{
  if (p && n > 0) std::memset(p, 0, static_cast<size_t>(n) * sizeof(double));
}

// Resizes a scratch buffer to n zeroed doubles and keeps *pSlot on it when the slot
// pointed at the old storage (or always, when the channel is not connected).
void ResizeScratch(WDL_TypedBuf<double>* pBuf, double** pSlot, bool connected, int n) noexcept
{
  double* old = pBuf->Get();
  pBuf->Resize(n, false);
  ZeroDoubles(pBuf->Get(), pBuf->GetSize());
  if (!connected || *pSlot == old) *pSlot = pBuf->Get();
}
}  // namespace

void IPlugBase::SetBlockSize(int blockSize)
{
  if (blockSize < 0) blockSize = 0;
  if (blockSize == mBlockSize) return;
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    ResizeScratch(&ch->mScratchBuf, ch->mSrc, ch->mConnected, blockSize);
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    ResizeScratch(&ch->mScratchBuf, ch->mDest, ch->mConnected, blockSize);
  }
  mBlockSize = blockSize;
}

// A host that hands more frames than the block size it announced would make the float
// paths write past the scratch buffers; grow them instead. Allocates, but only then.
void IPlugBase::GrowScratch(int nFrames) noexcept
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (ch->mScratchBuf.GetSize() < nFrames) ResizeScratch(&ch->mScratchBuf, ch->mSrc, ch->mConnected, nFrames);
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (ch->mScratchBuf.GetSize() < nFrames) ResizeScratch(&ch->mScratchBuf, ch->mDest, ch->mConnected, nFrames);
  }
}

void IPlugBase::ZeroScratchBuffers() noexcept
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    WDL_TypedBuf<double>& buf = mInChannels.Get(i)->mScratchBuf;
    ZeroDoubles(buf.Get(), buf.GetSize() < mBlockSize ? buf.GetSize() : mBlockSize);
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    WDL_TypedBuf<double>& buf = mOutChannels.Get(i)->mScratchBuf;
    ZeroDoubles(buf.Get(), buf.GetSize() < mBlockSize ? buf.GetSize() : mBlockSize);
  }
}

// ---- Attaching the host's buffers ----

void IPlugBase::AttachInputBuffers(int idx, int n, double** ppData, int nFrames) noexcept
{
  (void)nFrames;
  const int end = idx + n < NInChannels() ? idx + n : NInChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (ch->mConnected) *ch->mSrc = *ppData++;
  }
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) noexcept
{
  if (nFrames < 0) nFrames = 0;
  const int end = idx + n < NInChannels() ? idx + n : NInChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) continue;
    if (ch->mScratchBuf.GetSize() < nFrames) ResizeScratch(&ch->mScratchBuf, ch->mSrc, false, nFrames);
    const float* src = *ppData++;
    double* dst = ch->mScratchBuf.Get();
    if (src)
      for (int s = 0; s < nFrames; ++s) dst[s] = src[s];
    *ch->mSrc = dst;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** ppData) noexcept
{
  const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (ch->mConnected) *ch->mDest = *ppData++;
  }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** ppData) noexcept
{
  const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    *ch->mDest = ch->mScratchBuf.Get();
    ch->mFDest = *ppData++;
  }
}

// ---- Running the processor ----

void IPlugBase::CopyFloatOutputs(int nFrames, bool accumulate) noexcept
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    const double* src = *ch->mDest;
    float* dst = ch->mFDest;
    if (!ch->mConnected || !src || !dst) continue;
    if (accumulate)
      for (int s = 0; s < nFrames; ++s) dst[s] += static_cast<float>(src[s]);
    else
      for (int s = 0; s < nFrames; ++s) dst[s] = static_cast<float>(src[s]);
  }
}

void IPlugBase::ProcessBuffers(double sampleType, int nFrames) noexcept
{
  (void)sampleType;
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::ProcessBuffers(float sampleType, int nFrames) noexcept
{
  (void)sampleType;
  GrowScratch(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyFloatOutputs(nFrames, false);
}

void IPlugBase::ProcessBuffersAccumulating(float sampleType, int nFrames) noexcept
{
  (void)sampleType;
  GrowScratch(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyFloatOutputs(nFrames, true);
}

void IPlugBase::PassThroughBuffers(double sampleType, int nFrames) noexcept
{
  (void)sampleType;
  IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::PassThroughBuffers(float sampleType, int nFrames) noexcept
{
  (void)sampleType;
  GrowScratch(nFrames);
  IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyFloatOutputs(nFrames, false);
}

// ---- The default copy ----

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  if (nFrames <= 0) return;
  const int nIn = NInChannels(), nOut = NOutChannels();
  int j = 0;
  for (; j < nOut && j < nIn; ++j)
    if (outputs[j] && inputs[j] && outputs[j] != inputs[j])
      std::memmove(outputs[j], inputs[j], static_cast<size_t>(nFrames) * sizeof(double));
  for (; j < nOut; ++j) ZeroDoubles(outputs[j], nFrames);
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames)
{
  if (nFrames <= 0) return;
  const int nIn = NInChannels(), nOut = NOutChannels();
  int j = 0;
  for (; j < nOut && j < nIn; ++j)
    if (outputs[j] && inputs[j] && outputs[j] != inputs[j])
      std::memmove(outputs[j], inputs[j], static_cast<size_t>(nFrames) * sizeof(float));
  for (; j < nOut; ++j)
    if (outputs[j]) std::memset(outputs[j], 0, static_cast<size_t>(nFrames) * sizeof(float));
}
