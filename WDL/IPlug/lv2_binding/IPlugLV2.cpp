// The LV2 binding's life and audio path: instantiation, port connection, activation,
// the control ports taken before each block and the block run through the plug-in
// base's float path.

#include "IPlugLV2.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "IPlugDenormals.h"

namespace
{
constexpr float kUnknown = std::numeric_limits<float>::quiet_NaN();

const void* FindFeature(const LV2_Feature* const* features, const char* uri) noexcept
{
  for (const LV2_Feature* const* f = features; f && *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  return nullptr;
}
}  // namespace

IPlugLV2::IPlugLV2(IPlugInstanceInfo /* instanceInfo */, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
                   int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                   int /* sideChainChannels */)
  : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
              latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPILV2)
{
}

IPlugLV2::~IPlugLV2() = default;

IPlugLV2* IPlugLV2::FromHandle(LV2_Handle instance) noexcept
{
  // The handle is the plug-in as its UI sees it (see Instantiate).
  return static_cast<IPlugLV2*>(static_cast<IPlugLV2EditorAccess*>(instance));
}

// ==== Instantiation ====

LV2_Handle IPlugLV2::Instantiate(const LV2_Descriptor* pDescriptor, double sampleRate, const char* /* bundlePath */,
                                 const LV2_Feature* const* features)
{
  // The descriptor is the first member of the binding's record (IPlugLV2Descriptor).
  const auto* d = reinterpret_cast<const IPlugLV2Descriptor*>(pDescriptor);
  if (!d || !d->make || !(sampleRate > 0.0)) return nullptr;
  IPlugLV2* pPlug = nullptr;
  try
  {
    pPlug = d->make();
    if (pPlug && !pPlug->Configure(*d, sampleRate, features))
    {
      delete pPlug;
      pPlug = nullptr;
    }
  }
  catch (...)
  {
    delete pPlug;
    return nullptr;
  }
  if (!pPlug) return nullptr;
  return static_cast<IPlugLV2EditorAccess*>(pPlug);
}

bool IPlugLV2::Configure(const IPlugLV2Descriptor& d, double sampleRate, const LV2_Feature* const* features)
{
  if (!LegalIO(d.nIn, d.nOut) || d.nIn > NInChannels() || d.nOut > NOutChannels()) return false;
  mPorts = {NParams(), d.nIn, d.nOut};
  SetInputChannelConnections(0, d.nIn, true);
  SetInputChannelConnections(d.nIn, NInChannels() - d.nIn, false);
  SetOutputChannelConnections(0, d.nOut, true);
  SetOutputChannelConnections(d.nOut, NOutChannels() - d.nOut, false);
  SetSampleRate(sampleRate);
  SetBlockSize(kMaxFramesPerCall);
  if (GetBlockSize() != kMaxFramesPerCall) return false;

  if (!mPortData.Resize(mPorts.Count(), false) || !mTakenControl.Resize(NParams(), false) ||
      !mInSlice.Resize(d.nIn > 0 ? d.nIn : 1, false) || !mOutSlice.Resize(d.nOut > 0 ? d.nOut : 1, false) ||
      !mSilence.Resize(kMaxFramesPerCall, false) || !mDiscard.Resize(kMaxFramesPerCall, false))
    return false;
  std::memset(mSilence.Get(), 0, sizeof(float) * kMaxFramesPerCall);
  for (int i = 0; i < mPorts.Count(); ++i) mPortData.Get()[i] = nullptr;
  for (int i = 0; i < NParams(); ++i) SetTakenControl(i, kUnknown);

  mMap = static_cast<LV2_URID_Map*>(const_cast<void*>(FindFeature(features, LV2_URID__map)));
  if (mMap && d.stateKey)
  {
    mStateKey = mMap->map(mMap->handle, d.stateKey);
    mChunkType = mMap->map(mMap->handle, "http://lv2plug.in/ns/ext/atom#Chunk");
  }
  PruneUninitializedPresets();
  return true;
}

void IPlugLV2::Activate(LV2_Handle instance)
{
  IPlugLV2* pPlug = FromHandle(instance);
  WDL_MutexLock lock(&pPlug->mMutex);
  // A fresh start; then, as an Audio Unit host initialises a plug-in: the host's
  // settings first (the control ports connected by now), then every parameter through
  // OnParamChange, in index order.
  pPlug->ClearHistory();
  pPlug->TakeControlPortsForActivation();
  pPlug->OnParamReset();
  pPlug->OnActivate(true);
}

void IPlugLV2::TakeControlPortsForActivation()
{
  // A state restored since then holds: the ports are only noted.
  const bool restored = mResyncControls.exchange(false, std::memory_order_acquire);
  for (int i = 0; i < NParams(); ++i)
  {
    const auto* pPort = static_cast<const float*>(mPortData.Get()[mPorts.Control(i)]);
    const float v = pPort ? *pPort : kUnknown;
    if (!restored && !std::isnan(v)) GetParam(i)->Set(GetParam(i)->Clamp(v));
    SetTakenControl(i, v);
  }
}

void IPlugLV2::Deactivate(LV2_Handle instance)
{
  IPlugLV2* pPlug = FromHandle(instance);
  WDL_MutexLock lock(&pPlug->mMutex);
  pPlug->OnActivate(false);
}

void IPlugLV2::Cleanup(LV2_Handle instance) { delete FromHandle(instance); }

// ==== Audio ====

void IPlugLV2::ConnectPort(LV2_Handle instance, uint32_t port, void* pData) noexcept
{
  IPlugLV2* pPlug = FromHandle(instance);
  if (port < static_cast<uint32_t>(pPlug->mPorts.Count())) pPlug->mPortData.Get()[port] = pData;
}

void IPlugLV2::Run(LV2_Handle instance, uint32_t nFrames) noexcept
{
  IPlugLV2* pPlug = FromHandle(instance);
  pPlug->ApplyControlPorts();
  ScopedFlushDenormals flushing;
  for (uint32_t done = 0; done < nFrames;)
  {
    const uint32_t n = nFrames - done < static_cast<uint32_t>(kMaxFramesPerCall) ? nFrames - done : kMaxFramesPerCall;
    pPlug->ProcessSlice(static_cast<int>(done), static_cast<int>(n));
    done += n;
  }
  if (auto* pLatency = static_cast<float*>(pPlug->mPortData.Get()[pPlug->mPorts.Latency()]))
    *pLatency = static_cast<float>(pPlug->GetLatency());
}

void IPlugLV2::ApplyControlPorts() noexcept
{
  // After a restore the ports' values are taken as they stand, without applying them:
  // the restored parameters hold until the host moves a port.
  if (mResyncControls.exchange(false, std::memory_order_acquire))
    for (int i = 0; i < NParams(); ++i)
    {
      const auto* pPort = static_cast<const float*>(mPortData.Get()[mPorts.Control(i)]);
      SetTakenControl(i, pPort ? *pPort : kUnknown);
    }
  for (int i = 0; i < NParams(); ++i)
  {
    const auto* pPort = static_cast<const float*>(mPortData.Get()[mPorts.Control(i)]);
    if (!pPort) continue;
    const float v = *pPort;
    const float taken = TakenControl(i);
    if (v == taken || std::isnan(v)) continue;
    IParam* pParam = GetParam(i);
    const double plain = pParam->Clamp(v);
    // The parameter before the note that it was taken: a state save that sees the note
    // sees the parameter too (ValueAfterNextRun).
    if (!std::isnan(taken) || static_cast<float>(pParam->Value()) != static_cast<float>(plain))
    {
      pParam->Set(plain);
      ApplyParamChange(i);
    }
    SetTakenControl(i, v);
  }
}

float IPlugLV2::TakenControl(int i) noexcept
{
  return std::atomic_ref<float>(mTakenControl.Get()[i]).load(std::memory_order_acquire);
}

void IPlugLV2::SetTakenControl(int i, float v) noexcept
{
  std::atomic_ref<float>(mTakenControl.Get()[i]).store(v, std::memory_order_release);
}

double IPlugLV2::ValueAfterNextRun(int i) noexcept
{
  // The same decision ApplyControlPorts makes, on what it would find now.
  auto* pPort = static_cast<float*>(mPortData.Get()[mPorts.Control(i)]);
  const float taken = TakenControl(i);
  IParam* pParam = GetParam(i);
  const double current = pParam->Value();
  // After a restore the next run takes the ports without applying them.
  if (!pPort || mResyncControls.load(std::memory_order_acquire)) return current;
  const float v = std::atomic_ref<float>(*pPort).load(std::memory_order_relaxed);
  if (v == taken || std::isnan(v)) return current;
  const double plain = pParam->Clamp(v);
  if (std::isnan(taken) && static_cast<float>(current) == static_cast<float>(plain)) return current;
  return plain;
}

void IPlugLV2::ProcessSlice(int offset, int nFrames) noexcept
{
  // A port the host left unconnected reads as silence and writes nowhere.
  for (int c = 0; c < mPorts.nIn; ++c)
  {
    auto* p = static_cast<float*>(mPortData.Get()[mPorts.AudioIn(c)]);
    mInSlice.Get()[c] = p ? p + offset : mSilence.Get();
  }
  for (int c = 0; c < mPorts.nOut; ++c)
  {
    auto* p = static_cast<float*>(mPortData.Get()[mPorts.AudioOut(c)]);
    mOutSlice.Get()[c] = p ? p + offset : mDiscard.Get();
  }
  AttachInputBuffers(0, mPorts.nIn, mInSlice.Get(), nFrames);
  AttachOutputBuffers(0, mPorts.nOut, mOutSlice.Get());
  ProcessBuffers(0.0f, nFrames);
}
