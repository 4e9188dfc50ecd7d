// The render path: input connections, pulling inputs, attaching the host's buffers,
// running the processor once per slice.

#include "IPlugAU.h"

#include "IPlugDenormals.h"

#include <cstddef>
#include <cstring>
#include <utility>

namespace
{
// An AudioBufferList with room for one bus's channels, on the stack of the render call.
struct BusBufferList
{
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[IPlugAU::kMaxBusChannels];

  AudioBufferList* Get() noexcept { return reinterpret_cast<AudioBufferList*>(this); }
};
static_assert(offsetof(BusBufferList, mBuffers) == offsetof(AudioBufferList, mBuffers),
              "the list must read as an AudioBufferList");

int Min(int a, int b) noexcept { return a < b ? a : b; }
}  // namespace

// ==== Connections ====

void IPlugAU::AssessInputConnections()
{
  WDL_MutexLock lock(&mMutex);
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < mInBuses.GetSize(); ++i)
  {
    BusChannels* pBus = mInBuses.Get(i);
    InputBusConnection* pConn = mInBusConnections.Get(i);
    if (!pConn) continue;
    if (pConn->mUpstreamUnit)
      pConn->mInputType = eDirectNoFastProc;
    else if (pConn->mUpstreamRenderCallback.inputProc)
      pConn->mInputType = eRenderCallback;
    else
      pConn->mInputType = eNotConnected;

    if (pConn->mInputType == eNotConnected)
    {
      pBus->mConnected = false;
      continue;
    }
    pBus->mConnected = true;
    if (pBus->mNHostChannels < 0) pBus->mNHostChannels = pBus->mNPlugChannels;
    const int nConnected = Min(pBus->mNHostChannels, pBus->mNPlugChannels);
    SetInputChannelConnections(pBus->mPlugChannelStartIdx, nConnected, true);
    SetInputChannelConnections(pBus->mPlugChannelStartIdx + nConnected, pBus->mNPlugChannels - nConnected, false);
  }
}

const char* IPlugAU::AUInputTypeStr(int type) noexcept
{
  switch (type)
  {
    case eDirectFastProc: return "DirectFastProc";
    case eDirectNoFastProc: return "DirectNoFastProc";
    case eRenderCallback: return "RenderCallback";
    default: return "NotConnected";
  }
}

void IPlugAU::SetBlockSize(int blockSize)
{
  const int n = blockSize > 0 ? blockSize : 0;
  bool sized = true;
  for (auto [pBuf, nChannels] : {std::pair{&mInScratchBuf, NInChannels()}, std::pair{&mOutScratchBuf, NOutChannels()}})
  {
    float* p = pBuf->Resize(n * nChannels);
    if (p) std::memset(p, 0, sizeof(float) * pBuf->GetSize());
    sized = sized && (p || n * nChannels == 0);
  }
  // Out of memory: no block size, so every render is refused rather than run past the scratch.
  IPlugBase::SetBlockSize(sized ? n : 0);
}

// ==== Render ====

OSStatus IPlugAU::RenderProc(void* pPlug, AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp,
                             UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* pBufferList) noexcept
{
  auto* _this = static_cast<IPlugAU*>(pPlug);
  if (!_this) return badComponentInstance;
  return _this->Render(pFlags, pTimestamp, outputBusIdx, nFrames, pBufferList);
}

OSStatus IPlugAU::Render(AudioUnitRenderActionFlags* pFlags, const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx,
                         UInt32 nFrames, AudioBufferList* pBufferList) noexcept
{
  if (!pTimestamp || !(pTimestamp->mFlags & kAudioTimeStampSampleTimeValid) ||
      outputBusIdx >= static_cast<UInt32>(NOutBuses()) || nFrames > static_cast<UInt32>(GetBlockSize()) || !pBufferList)
    return kAudioUnitErr_InvalidPropertyValue;
  // The host's buffers must hold the slice: the processor writes nFrames samples into each.
  for (UInt32 i = 0; i < pBufferList->mNumberBuffers; ++i)
  {
    const AudioBuffer& b = pBufferList->mBuffers[i];
    if (b.mData && b.mDataByteSize < nFrames * sizeof(float)) return kAudioUnitErr_InvalidPropertyValue;
  }

  CallRenderNotify(kAudioUnitRenderAction_PreRender, pFlags, pTimestamp, outputBusIdx, nFrames, pBufferList);

  // A second output bus of the same slice reuses the inputs already attached.
  if (pTimestamp->mSampleTime != mRenderTimestamp)
  {
    for (int i = 0; i < mInBuses.GetSize(); ++i)
    {
      const OSStatus r = PullInputBus(i, pTimestamp, nFrames);
      if (r != noErr) return r;
    }
    mRenderTimestamp = pTimestamp->mSampleTime;
  }

  const int busIdx = static_cast<int>(outputBusIdx);
  AttachOutputBus(busIdx, nFrames, pBufferList);
  if (IsLastConnectedOutputBus(busIdx))
  {
    for (int i = busIdx + 1; i < mOutBuses.GetSize(); ++i)
      SetOutputChannelConnections(mOutBuses.Get(i)->mPlugChannelStartIdx, mOutBuses.Get(i)->mNPlugChannels, false);
    // Only around the processing: the host's callbacks keep their own floating-point mode.
    ScopedFlushDenormals flushing;
    if (IsBypassed())
      PassThroughBuffers(0.0f, static_cast<int>(nFrames));
    else
      ProcessBuffers(0.0f, static_cast<int>(nFrames));
  }

  CallRenderNotify(kAudioUnitRenderAction_PostRender, pFlags, pTimestamp, outputBusIdx, nFrames, pBufferList);
  return noErr;
}

void IPlugAU::CallRenderNotify(AudioUnitRenderActionFlags flags, AudioUnitRenderActionFlags*,
                               const AudioTimeStamp* pTimestamp, UInt32 outputBusIdx, UInt32 nFrames,
                               AudioBufferList* pBufferList) noexcept
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    const AURenderCallbackStruct* pNotify = mRenderNotify.Get(i);
    AudioUnitRenderActionFlags notifyFlags = flags;
    if (pNotify && pNotify->inputProc)
      pNotify->inputProc(pNotify->inputProcRefCon, &notifyFlags, pTimestamp, outputBusIdx, nFrames, pBufferList);
  }
}

OSStatus IPlugAU::PullInputBus(int busIdx, const AudioTimeStamp* pTimestamp, UInt32 nFrames) noexcept
{
  const BusChannels* pBus = mInBuses.Get(busIdx);
  const InputBusConnection* pConn = mInBusConnections.Get(busIdx);
  if (!pBus || !pConn || !pBus->mConnected) return noErr;

  // Never more buffers than the bus has channels of its own: each one maps to a plug-in channel.
  const int nCh = Min(Min(pBus->mNHostChannels, pBus->mNPlugChannels), kMaxBusChannels);
  if (nCh <= 0) return noErr;
  const int first = pBus->mPlugChannelStartIdx;
  const UInt32 byteSize = nFrames * static_cast<UInt32>(sizeof(float));
  float* pScratch = mInScratchBuf.Get() + static_cast<size_t>(nFrames) * first;

  BusBufferList list;
  list.mNumberBuffers = static_cast<UInt32>(nCh);
  for (int j = 0; j < nCh; ++j) list.mBuffers[j] = {1, byteSize, nullptr};

  AudioUnitRenderActionFlags flags = 0;
  OSStatus r = noErr;
  switch (pConn->mInputType)
  {
    case eRenderCallback:
      for (int j = 0; j < nCh; ++j) list.mBuffers[j].mData = pScratch + static_cast<size_t>(nFrames) * j;
      r = pConn->mUpstreamRenderCallback.inputProc(pConn->mUpstreamRenderCallback.inputProcRefCon, &flags, pTimestamp,
                                                   static_cast<UInt32>(busIdx), nFrames, list.Get());
      break;
    case eDirectNoFastProc:
      r = AudioUnitRender(pConn->mUpstreamUnit, &flags, pTimestamp, static_cast<UInt32>(pConn->mUpstreamBusIdx),
                          nFrames, list.Get());
      break;
    default: return noErr;
  }
  if (r != noErr) return r;

  const int nReturned = Min(static_cast<int>(list.mNumberBuffers), nCh);
  for (int j = 0; j < nReturned; ++j)
  {
    // A buffer the source left empty or too short is not read; the channel keeps its scratch.
    float* pData = static_cast<float*>(list.mBuffers[j].mData);
    if (!pData || list.mBuffers[j].mDataByteSize < byteSize) continue;
    AttachInputBuffers(first + j, 1, &pData, static_cast<int>(nFrames));
  }
  return noErr;
}

void IPlugAU::AttachOutputBus(int busIdx, UInt32 nFrames, AudioBufferList* pBufferList) noexcept
{
  BusChannels* pBus = mOutBuses.Get(busIdx);
  const int first = pBus->mPlugChannelStartIdx;
  const int nBuffers = static_cast<int>(pBufferList->mNumberBuffers);
  // A host that never set the bus's format gets the format it was shown: the plug-in's channels.
  const int nHost = pBus->mNHostChannels >= 0 ? pBus->mNHostChannels : pBus->mNPlugChannels;
  if (!pBus->mConnected || nBuffers != nHost)
  {
    const int nConnected = Min(Min(nHost, nBuffers), pBus->mNPlugChannels);
    SetOutputChannelConnections(first, nConnected, true);
    SetOutputChannelConnections(first + nConnected, pBus->mNPlugChannels - nConnected, false);
    pBus->mConnected = true;
  }

  // Buffers past the bus's own channels have no plug-in channel to fill them.
  const int nAttach = Min(nBuffers, pBus->mNPlugChannels);
  for (int i = 0; i < nAttach; ++i)
  {
    AudioBuffer& b = pBufferList->mBuffers[i];
    if (!b.mData)
    {
      b.mData = mOutScratchBuf.Get() + static_cast<size_t>(nFrames) * (first + i);
      b.mDataByteSize = nFrames * static_cast<UInt32>(sizeof(float));
    }
    float* pData = static_cast<float*>(b.mData);
    AttachOutputBuffers(first + i, 1, &pData);
  }
}

// The processor runs on the call for the last bus of the leading run of connected buses.
bool IPlugAU::IsLastConnectedOutputBus(int busIdx) noexcept
{
  int last = -1;
  for (int i = 0; i < mOutBuses.GetSize() && mOutBuses.Get(i)->mConnected; ++i) last = i;
  return last == busIdx;
}

// ==== Stream descriptions ====

void IPlugAU::MakeDefaultASBD(AudioStreamBasicDescription* pASBD, double sampleRate, int nChannels, bool interleaved)
{
  std::memset(pASBD, 0, sizeof(*pASBD));
  pASBD->mSampleRate = sampleRate;
  pASBD->mFormatID = kAudioFormatLinearPCM;
  pASBD->mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked;
  pASBD->mChannelsPerFrame = static_cast<UInt32>(nChannels);
  pASBD->mFramesPerPacket = 1;
  pASBD->mBitsPerChannel = 32;
  const UInt32 bytes = static_cast<UInt32>(sizeof(float)) * (interleaved ? static_cast<UInt32>(nChannels) : 1u);
  if (!interleaved) pASBD->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
  pASBD->mBytesPerPacket = bytes;
  pASBD->mBytesPerFrame = bytes;
}

AudioChannelLayoutTag IPlugAU::GetTagForNumChannels(int numChannels) noexcept
{
  switch (numChannels)
  {
    case 1: return kAudioChannelLayoutTag_Mono;
    case 2: return kAudioChannelLayoutTag_Stereo;
    default: return kAudioChannelLayoutTag_Unknown;
  }
}
