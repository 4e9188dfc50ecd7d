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
// pointed at the old storage (or always, when the channel is not connected). False when
// memory ran out: the buffer then keeps its old size and contents.
bool ResizeScratch(WDL_TypedBuf<double>* pBuf, double** pSlot, bool connected, int n) noexcept
{
  double* old = pBuf->Get();
  const bool grown = pBuf->Resize(n, false) || n == 0;
  ZeroDoubles(pBuf->Get(), pBuf->GetSize());
  if (!connected || *pSlot == old) *pSlot = pBuf->Get();
  return grown;
}
}  // namespace

void IPlugBase::SetBlockSize(int blockSize)
{
  if (blockSize < 0) blockSize = 0;
  if (blockSize == mBlockSize) return;
  bool sized = true;
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    sized = ResizeScratch(&ch->mScratchBuf, ch->mSrc, ch->mConnected, blockSize) && sized;
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    sized = ResizeScratch(&ch->mScratchBuf, ch->mDest, ch->mConnected, blockSize) && sized;
  }
  // Out of memory: announce no block size at all, so a binding refuses every render
  // instead of processing into buffers smaller than the block.
  mBlockSize = sized ? blockSize : 0;
}

// A host that hands more frames than the block size it announced would make the float
// paths write past the scratch buffers; grow them instead. Allocates, but only then.
// False when memory ran out and some buffer is still shorter than nFrames.
bool IPlugBase::GrowScratch(int nFrames) noexcept
{
  bool grown = true;
  for (int i = 0; i < NInChannels(); ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (ch->mScratchBuf.GetSize() < nFrames)
      grown = ResizeScratch(&ch->mScratchBuf, ch->mSrc, ch->mConnected, nFrames) && grown;
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (ch->mScratchBuf.GetSize() < nFrames)
      grown = ResizeScratch(&ch->mScratchBuf, ch->mDest, ch->mConnected, nFrames) && grown;
  }
  return grown;
}

// The float paths' answer to a block their scratch could not hold: silence in the
// host's outputs rather than processing past the buffers.
void IPlugBase::SilenceFloatOutputs(int nFrames, bool accumulate) noexcept
{
  if (accumulate) return;  // adding silence leaves the host's buffers as they are
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (ch->mConnected && ch->mFDest && nFrames > 0)
      std::memset(ch->mFDest, 0, static_cast<size_t>(nFrames) * sizeof(float));
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
    // Only what the scratch holds: out of memory, the block is then silenced by the process call.
    const int fit = nFrames < ch->mScratchBuf.GetSize() ? nFrames : ch->mScratchBuf.GetSize();
    if (src)
      for (int s = 0; s < fit; ++s) dst[s] = src[s];
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
  if (!GrowScratch(nFrames))
  {
    SilenceFloatOutputs(nFrames, false);
    return;
  }
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  CopyFloatOutputs(nFrames, false);
}

void IPlugBase::ProcessBuffersAccumulating(float sampleType, int nFrames) noexcept
{
  (void)sampleType;
  if (!GrowScratch(nFrames))
  {
    SilenceFloatOutputs(nFrames, true);
    return;
  }
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
  if (!GrowScratch(nFrames))
  {
    SilenceFloatOutputs(nFrames, false);
    return;
  }
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
