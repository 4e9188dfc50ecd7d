// The LV2 binding's state extension: the bytes SerializeState gives (the bytes the
// Audio Unit binding keeps in its class-info dictionary), saved under the plug-in's
// state key as one atom:Chunk and restored through UnserializeState.

#include "IPlugLV2.h"

#include <cstring>

#include <lv2/state/state.h>

// The state interface's two callbacks, friends of the binding.
struct IPlugLV2State
{
  // SerializeState; for a state of parameters (the layout SerializeParams writes: one
  // double each, in index order) the values the next run() will have.
  static bool SaveParameters(IPlugLV2* pPlug, ByteChunk* pChunk)
  {
    if (pPlug->DoesStateChunks()) return pPlug->SerializeState(pChunk);
    bool ok = true;
    for (int i = 0; i < pPlug->NParams(); ++i)
    {
      const double v = pPlug->ValueAfterNextRun(i);
      ok &= pChunk->Put(&v) > 0;
    }
    return ok;
  }

  // Any non-audio thread, possibly while the audio thread runs: under the mutex.
  static LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                               uint32_t /* flags */, const LV2_Feature* const* /* features */)
  {
    IPlugLV2* pPlug = IPlugLV2::FromHandle(instance);
    if (!pPlug->mStateKey) return LV2_STATE_ERR_NO_FEATURE;  // no URID map was offered
    ByteChunk chunk;
    {
      WDL_MutexLock lock(&pPlug->mMutex);
      if (!SaveParameters(pPlug, &chunk)) return LV2_STATE_ERR_UNKNOWN;
    }
    return store(handle, pPlug->mStateKey, chunk.GetBytes(), static_cast<size_t>(chunk.Size()), pPlug->mChunkType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  }

  // Instantiation class: never during run(). A state of another size or type than the
  // plug-in saves, or one the plug-in refuses, changes nothing.
  static LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                  uint32_t /* flags */, const LV2_Feature* const* /* features */)
  {
    IPlugLV2* pPlug = IPlugLV2::FromHandle(instance);
    if (!pPlug->mStateKey) return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0, valueFlags = 0;
    const void* pValue = retrieve(handle, pPlug->mStateKey, &size, &type, &valueFlags);
    if (!pValue) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != pPlug->mChunkType) return LV2_STATE_ERR_BAD_TYPE;

    WDL_MutexLock lock(&pPlug->mMutex);
    ByteChunk current;
    if (!pPlug->SerializeState(&current) || size != static_cast<size_t>(current.Size())) return LV2_STATE_ERR_UNKNOWN;
    ByteChunk chunk;
    if (chunk.PutBytes(pValue, static_cast<int>(size)) != static_cast<int>(size) ||
        pPlug->UnserializeState(&chunk, 0) < 0)
      return LV2_STATE_ERR_UNKNOWN;
    pPlug->mResyncControls.store(true, std::memory_order_release);
    return LV2_STATE_SUCCESS;
  }
};

const void* IPlugLV2::ExtensionData(const char* uri)
{
  static const LV2_State_Interface kState = {IPlugLV2State::Save, IPlugLV2State::Restore};
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kState;
  return nullptr;
}
