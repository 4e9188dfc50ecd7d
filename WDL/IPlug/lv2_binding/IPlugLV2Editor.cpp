// The LV2 binding's side of the editor: what a UI reaches through instance-access, and
// the parameter changes the UI's editor sends to the host through that UI.

#include "IPlugLV2.h"

#include <cmath>

double IPlugLV2::ParameterValue(int idx)
{
  const IParam* pParam = GetParam(idx);
  return pParam ? pParam->Value() : 0.0;
}

void IPlugLV2::ConnectUIHost(IPlugLV2UIHost* pHost)
{
  mUIThread.store(pHost ? std::this_thread::get_id() : std::thread::id(), std::memory_order_relaxed);
  mUIHost.store(pHost, std::memory_order_release);
}

bool IPlugLV2::OnUIThread() const noexcept
{
  return std::this_thread::get_id() == mUIThread.load(std::memory_order_relaxed);
}

void IPlugLV2::ControlFromHost(int port, float value)
{
  if (!mPorts.IsControl(port) || std::isnan(value)) return;
  const int idx = port;  // a control's port index is its parameter index
  WDL_MutexLock lock(&mMutex);
  IParam* pParam = GetParam(idx);
  // As a host's parameter setter does on the other bindings, also when the audio thread
  // took the same value from the port already (the UI's editor shows it on its side).
  pParam->Set(pParam->Clamp(value));
  OnParamChange(idx);
}

void IPlugLV2::ParameterFromEditor(int idx, double normalizedValue)
{
  if (GetParam(idx)) SetParameterFromGUI(idx, normalizedValue);
}

void IPlugLV2::EditorIdle() { OnIdle(); }

// ==== Parameter changes to the host ====
// Only a change made on the UI's thread goes out (the editor's, or an idle slot's).
// Changes on other threads come from the host itself (ports, state), which knows them.

void IPlugLV2::BeginInformHostOfParamChange(int idx)
{
  IPlugLV2UIHost* pHost = mUIHost.load(std::memory_order_acquire);
  if (pHost && OnUIThread() && mPorts.IsControl(idx)) pHost->Touch(mPorts.Control(idx), true);
}

void IPlugLV2::InformHostOfParamChange(int idx, double /* normalizedValue */)
{
  IPlugLV2UIHost* pHost = mUIHost.load(std::memory_order_acquire);
  if (pHost && OnUIThread() && mPorts.IsControl(idx))
    pHost->WriteControl(mPorts.Control(idx), static_cast<float>(GetParam(idx)->Value()));
}

void IPlugLV2::EndInformHostOfParamChange(int idx)
{
  IPlugLV2UIHost* pHost = mUIHost.load(std::memory_order_acquire);
  if (pHost && OnUIThread() && mPorts.IsControl(idx)) pHost->Touch(mPorts.Control(idx), false);
}
