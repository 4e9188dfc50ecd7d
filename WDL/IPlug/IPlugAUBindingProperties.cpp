// The binding's own private properties: the plug-in object for code inside the component,
// and what a plug-in's editor offers its user (program and bank files, a picture of the
// editor) for hosts that drive the plug-in without showing its editor.
// Host control thread, under the plug-in mutex when they come through an entry.

#include "IPlugAU.h"

#include "IGraphics.h"
#include "IPlugAUPropertyQuery.h"

#include <climits>
#include <cstring>

namespace
{
// The CFData a property's data holds, or null when it holds none.
CFDataRef DataArgument(const void* pData, UInt32 dataSize)
{
  CFTypeRef value = nullptr;
  if (!pData || dataSize < sizeof(value)) return nullptr;
  std::memcpy(&value, pData, sizeof(value));
  return value && CFGetTypeID(value) == CFDataGetTypeID() ? static_cast<CFDataRef>(value) : nullptr;
}

bool Writable(AudioUnitPropertyID propID) noexcept { return propID != IPlugAU::kPlugObjectProperty; }
}  // namespace

ComponentResult IPlugAU::GetBindingProperty(AudioUnitPropertyID propID, AudioUnitScope scope, UInt32* pDataSize,
                                            Boolean* pWriteable, void* pData)
{
  if (propID > kEditorSnapshotProperty) return kAudioUnitErr_InvalidProperty;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidScope;
  // A picture is written, never read back.
  if (propID == kEditorSnapshotProperty)
  {
    if (pData) return kAudioUnitErr_InvalidPropertyValue;
    *pDataSize = sizeof(CFStringRef);
    *pWriteable = true;
    return noErr;
  }
  const UInt32 size = propID == kPlugObjectProperty ? sizeof(IPlugAU*) : sizeof(CFDataRef);
  if (pData)
  {
    if (*pDataSize < size) return kAudioUnitErr_InvalidPropertyValue;
    if (propID == kPlugObjectProperty)
    {
      IPlugAU* self = this;
      std::memcpy(pData, &self, sizeof(self));
    }
    else
    {
      ByteChunk file;
      const bool made = propID == kProgramFileProperty ? MakeProgramFXP(&file) : MakeBankFXB(&file);
      if (!made) return kAudioUnitErr_InvalidPropertyValue;
      CFDataRef data = CFDataCreate(kCFAllocatorDefault, file.GetBytes(), file.Size());
      if (!data) return coreFoundationUnknownErr;
      std::memcpy(pData, &data, sizeof(data));
    }
  }
  *pDataSize = size;
  *pWriteable = Writable(propID);
  return noErr;
}

ComponentResult IPlugAU::SetBindingProperty(AudioUnitPropertyID propID, AudioUnitScope scope, UInt32 dataSize,
                                            const void* pData)
{
  if (propID > kEditorSnapshotProperty) return kAudioUnitErr_InvalidProperty;
  if (!Writable(propID)) return kAudioUnitErr_PropertyNotWritable;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidScope;

  if (propID == kEditorSnapshotProperty)
  {
    CFTypeRef value = nullptr;
    if (!pData || dataSize < sizeof(value)) return kAudioUnitErr_InvalidPropertyValue;
    std::memcpy(&value, pData, sizeof(value));
    if (!value || CFGetTypeID(value) != CFStringGetTypeID()) return kAudioUnitErr_InvalidPropertyValue;
    char path[PATH_MAX];
    if (!CFStringGetCString(static_cast<CFStringRef>(value), path, sizeof(path), kCFStringEncodingUTF8))
      return kAudioUnitErr_InvalidPropertyValue;
    // A plug-in that builds its editor on first need builds it now.
    IGraphics* pGraphics = EnsureGUI();
    if (!pGraphics) return kAudioUnitErr_InvalidProperty;
    // What the editor's timer does before a repaint: the displays' pending pushes to the
    // host, then what other threads handed the editor (the displays take what the audio
    // thread fed them), then every control drawn.
    OnIdle();
    pGraphics->OnEditorTimer();
    pGraphics->DrawAll();
    return pGraphics->WriteSnapshotPNG(path) ? ComponentResult(noErr) : ComponentResult(kAudioUnitErr_InvalidFile);
  }

  CFDataRef data = DataArgument(pData, dataSize);
  if (!data || CFDataGetLength(data) > INT_MAX) return kAudioUnitErr_InvalidPropertyValue;
  const int size = static_cast<int>(CFDataGetLength(data));
  const bool loaded = propID == kProgramFileProperty ? LoadProgramFXP(CFDataGetBytePtr(data), size)
                                                     : LoadBankFXB(CFDataGetBytePtr(data), size);
  return loaded ? ComponentResult(noErr) : ComponentResult(kAudioUnitErr_InvalidPropertyValue);
}
