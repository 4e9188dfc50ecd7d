#include "IPlugBase.h"

#include "IPlugUtilities.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

namespace
{
// Set-up has no return value to report a failure through: a list that cannot grow is the
// allocation failure it is, and the binding's entry turns the exception into an error code.
template <class T>
T* AddOwned(WDL_PtrList<T>& list, T* pItem)
{
  if (!list.AddOrDelete(pItem)) throw std::bad_alloc();
  return pItem;
}
}  // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
                     int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
  : mUniqueID(uniqueID),
    mMfrID(mfrID),
    mVersion(vendorVersion),
    mAPI(plugAPI),
    mStateChunks(plugDoesChunks),
    mIsInst(plugIsInst),
    mLatency(latency)
{
  (void)plugDoesMidi;  // MIDI capability is the binding's business
  CopyBounded(mEffectName, effectName, MAX_EFFECT_NAME_LEN);
  CopyBounded(mProductName, productName, MAX_EFFECT_NAME_LEN);
  CopyBounded(mMfrName, mfrName, MAX_EFFECT_NAME_LEN);

  try
  {
    CreateOwned(nParams, nPresets, channelIOStr);
  }
  catch (...)
  {
    DeleteOwned();  // a constructor that throws runs no destructor
    throw;
  }
}

void IPlugBase::CreateOwned(int nParams, int nPresets, const char* channelIOStr)
{
  for (int i = 0; i < nParams; ++i) AddOwned(mParams, new IParam);
  if (nParams > 0 && !mEditorOwedValues.Resize(nParams)) throw std::bad_alloc();
  for (int i = 0; i < nParams; ++i) mEditorOwedValues.Get()[i] = std::numeric_limits<double>::quiet_NaN();
  for (int i = 0; i < nPresets; ++i) AddOwned(mPresets, new IPreset);

  int nIn = 0, nOut = 0;
  ParseChannelIO(channelIOStr, &nIn, &nOut);

  if ((nIn > 0 && !mInData.Resize(nIn)) || (nOut > 0 && !mOutData.Resize(nOut))) throw std::bad_alloc();
  for (int i = 0; i < nIn; ++i)
  {
    InChannel* ch = AddOwned(mInChannels, new InChannel);
    ch->mSrc = mInData.Get() + i;
    *ch->mSrc = nullptr;
  }
  for (int i = 0; i < nOut; ++i)
  {
    OutChannel* ch = AddOwned(mOutChannels, new OutChannel);
    ch->mDest = mOutData.Get() + i;
    *ch->mDest = nullptr;
  }
}

IPlugBase::~IPlugBase()
{
  DeleteGraphics();  // the editor's controls may still look at parameters
  DeleteOwned();
}

void IPlugBase::DeleteOwned()
{
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
}

// Tokens "in-out" separated by single spaces; a count that does not parse stays 0.
void IPlugBase::ParseChannelIO(const char* channelIOStr, int* pMaxIn, int* pMaxOut)
{
  const char* p = channelIOStr ? channelIOStr : "";
  for (;;)
  {
    int nIn = 0, nOut = 0;
    std::sscanf(p, "%d-%d", &nIn, &nOut);
    ChannelIO* io = AddOwned(mChannelIO, new ChannelIO);
    io->mIn = nIn;
    io->mOut = nOut;
    if (nIn > *pMaxIn) *pMaxIn = nIn;
    if (nOut > *pMaxOut) *pMaxOut = nOut;
    p = std::strchr(p, ' ');
    if (!p) break;
    ++p;
  }
}

// ---- Default hooks ----

void IPlugBase::Reset() { WDL_MutexLock lock(&mMutex); }

void IPlugBase::OnParamChange(int paramIdx)
{
  (void)paramIdx;
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnActivate(bool active)
{
  (void)active;
  WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* pMsg) { SendMidiMsg(pMsg); }

void IPlugBase::ProcessSysEx(ISysEx* pSysEx) { (void)pSysEx; }

bool IPlugBase::MidiNoteName(int noteNumber, char* noteName)
{
  (void)noteNumber;
  if (noteName) noteName[0] = 0;
  return false;
}

void IPlugBase::PopupHostContextMenuForParam(int paramIdx, int x, int y)
{
  (void)paramIdx;
  (void)x;
  (void)y;
}

bool IPlugBase::SendSysEx(ISysEx* pSysEx)
{
  (void)pSysEx;
  return false;
}

void IPlugBase::SetLatency(int samples) { mLatency = samples; }

double IPlugBase::GetSamplesPerBeat()
{
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

// ---- Channel configuration ----

bool IPlugBase::LegalIO(int nIn, int nOut) const noexcept
{
  const int n = mChannelIO.GetSize();
  for (int i = 0; i < n; ++i)
  {
    const ChannelIO* io = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut)) return true;
  }
  return false;
}

bool IPlugBase::GetLegalIO(int idx, int* pNIn, int* pNOut) const noexcept
{
  const ChannelIO* io = mChannelIO.Get(idx);
  if (!io) return false;
  if (pNIn) *pNIn = io->mIn;
  if (pNOut) *pNOut = io->mOut;
  return true;
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  const int end = idx + n < NInChannels() ? idx + n : NInChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    ch->mConnected = connected;
    if (!connected) *ch->mSrc = ch->mScratchBuf.Get();
  }
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    ch->mConnected = connected;
    if (!connected) *ch->mDest = ch->mScratchBuf.Get();
  }
}

bool IPlugBase::IsInChannelConnected(int chIdx) const noexcept
{
  const InChannel* ch = mInChannels.Get(chIdx);
  return ch && ch->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const noexcept
{
  const OutChannel* ch = mOutChannels.Get(chIdx);
  return ch && ch->mConnected;
}

void IPlugBase::LimitToStereoIO()
{
  if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
  if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

void IPlugBase::SetInputLabel(int idx, const char* label)
{
  if (InChannel* ch = mInChannels.Get(idx)) ch->mLabel.Set(label);
}

void IPlugBase::SetOutputLabel(int idx, const char* label)
{
  if (OutChannel* ch = mOutChannels.Get(idx)) ch->mLabel.Set(label);
}

const char* IPlugBase::GetInputLabel(int idx) const noexcept
{
  const InChannel* ch = mInChannels.Get(idx);
  return ch ? ch->mLabel.Get() : nullptr;
}

const char* IPlugBase::GetOutputLabel(int idx) const noexcept
{
  const OutChannel* ch = mOutChannels.Get(idx);
  return ch ? ch->mLabel.Get() : nullptr;
}

void IPlugBase::SetBusLabel(WDL_PtrList<WDL_String>* pList, int idx, const char* label)
{
  if (pList->Get(idx)) pList->Delete(idx, true);
  auto* pLabel = new WDL_String(label ? label : "");
  if (!pList->Insert(idx, pLabel)) delete pLabel;  // out of memory: the bus keeps no label
}

void IPlugBase::SetInputBusLabel(int idx, const char* label)
{
  if (idx == 0 || idx == 1) SetBusLabel(&mInputBusLabels, idx, label);
}

void IPlugBase::SetOutputBusLabel(int idx, const char* label)
{
  if (idx >= 0) SetBusLabel(&mOutputBusLabels, idx, label);
}

// ---- Parameters ----

void IPlugBase::SetParameterFromGUI(int idx, double normalizedValue)
{
  WDL_MutexLock lock(&mMutex);
  IParam* param = GetParam(idx);
  if (!param) return;
  param->SetNormalized(normalizedValue);
  EditorLearnsGUIChange(idx, normalizedValue);
  InformHostOfParamChange(idx, normalizedValue);
  OnParamChange(idx);
}

void IPlugBase::OnParamReset()
{
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void IPlugBase::DirtyParameters()
{
  WDL_MutexLock lock(&mMutex);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

int IPlugBase::AddParamGroup(const char* name)
{
  mParamGroups.Add(name);  // out of memory: the count returned shows the group was not added
  return mParamGroups.GetSize();
}

// ---- Host and versions ----

void IPlugBase::SetHost(const char* host, int version)
{
  mHost = LookUpHost(host);
  mHostVersion = version;
}

int IPlugBase::GetHostVersion(bool decimal)
{
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* str)
{
  GetHost();
  GetVersionStr(mHostVersion, str);
}

int IPlugBase::GetEffectVersion(bool decimal) const noexcept
{
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPlugBase::GetEffectVersionStr(char* str) const { GetVersionStr(mVersion, str); }

const char* IPlugBase::GetArchString() noexcept
{
#if defined(__x86_64__) || defined(_M_X64)
  return "x64";
#elif defined(__i386__) || defined(_M_IX86)
  return "x86";
#elif defined(__aarch64__) || defined(_M_ARM64)
  return "arm64";
#elif defined(__arm__) || defined(_M_ARM)
  return "arm";
#elif defined(__powerpc64__)
  return "ppc64";
#elif defined(__powerpc__)
  return "ppc";
#elif defined(__riscv) && __riscv_xlen == 64
  return "riscv64";
#else
  return "unknown";
#endif
}

const char* IPlugBase::GetAPIString()
{
  switch (GetAPI())
  {
    case kAPIVST2: return "VST2";
    case kAPIVST3: return "VST3";
    case kAPIAU: return "AU";
    case kAPIRTAS: return "RTAS";
    case kAPIAAX: return "AAX";
    case kAPISA: return "Standalone";
    case kAPILV2: return "LV2";
    default: return "";
  }
}

bool IPlugBase::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* pMsgs)
{
  bool allSent = true;
  const int n = pMsgs->GetSize();
  IMidiMsg* msgs = pMsgs->Get();
  for (int i = 0; i < n; ++i) allSent &= SendMidiMsg(&msgs[i]);
  return allSent;
}
