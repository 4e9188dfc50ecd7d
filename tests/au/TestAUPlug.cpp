#include "TestAUPlug.h"

#include "IControl.h"
#include "IGraphicsHeadless.h"

#include <cstring>

namespace
{
// Records every value the plug-in pushes to it.
class RecordingControl final : public IControl
{
public:
  RecordingControl(TestAUPlug* pPlug, int paramIdx, std::vector<double>* pLog)
    : IControl(pPlug, IRECT(0, 0, 20, 20), paramIdx),
      mLog(pLog)
  {
  }
  bool Draw(IGraphics*) override { return true; }
  void SetValueFromPlug(double value) override
  {
    mLog->push_back(value);
    IControl::SetValueFromPlug(value);
  }

private:
  std::vector<double>* mLog;
};
}  // namespace

TestAUPlug::TestAUPlug(IPlugInstanceInfo info, const char* channelIO, bool withEditor)
  : IPlugAU(info, kNumTestParams, channelIO, 3, "TestAU", "TestAU Product", "TestMaker", kTestAUVersion,
            static_cast<int>(kTestAUSubType), static_cast<int>(kTestAUMfr), kTestAULatency, false, false, false)
{
  GetParam(kGain)->InitDouble("Gain", 0.0, -70.0, 12.0, 0.1, "dB");
  GetParam(kMode)->InitEnum("Mode", 1, 3);
  GetParam(kMode)->SetDisplayText(0, "Soft");
  GetParam(kMode)->SetDisplayText(1, "Medium");
  GetParam(kMode)->SetDisplayText(2, "Hard");
  GetParam(kActive)->InitBool("Active", true);
  GetParam(kWidth)->InitDouble("Width", 50.0, 0.0, 100.0, 1.0, "%", "Stereo");
  GetParam(kSpread)->InitDouble("Spread Amount Long", 0.5, 0.0, 1.0, 0.01, "", "Stereo");
  GetParam(kSpread)->NegateDisplay();
  GetParam(kDrive)->InitInt("Drive", 3, 0, 10, "", "Color");

  if (withEditor)
  {
    IGraphics* pGraphics = new IGraphicsHeadless(this, 100, 80);
    pGraphics->AttachControl(new RecordingControl(this, kGain, &mEditorValues));
    AttachGraphics(pGraphics);
  }

  // Two of the three slots get presets; the third stays empty and is pruned on open.
  MakeDefaultPreset("Unity", 1);
  MakePresetFromNamedParams("Quiet", 2, kGain, -20.0, kMode, 2);
}

void TestAUPlug::Reset()
{
  WDL_MutexLock lock(&mMutex);
  ++mResets;
}

void TestAUPlug::OnParamChange(int paramIdx)
{
  WDL_MutexLock lock(&mMutex);
  if (mHookBeforeHandlers) mHookBeforeHandlers();
  mParamChanges.push_back(paramIdx);
  if (paramIdx == kGain) mGainAmp = GetParam(kGain)->DBToAmp();
}

void TestAUPlug::OnActivate(bool active)
{
  WDL_MutexLock lock(&mMutex);
  mActivations.push_back(active);
}

void TestAUPlug::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  ++mProcessCalls;
  mLastProcessFrames = nFrames;
  for (int c = 0; c < NOutChannels(); ++c)
    for (int i = 0; i < nFrames; ++i) outputs[c][i] = inputs[c][i] * mGainAmp;
}

ComponentResult TestAUPlug::GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement,
                                               UInt32* pDataSize, Boolean* pWriteable, void* pData)
{
  if (mHookBeforeHandlers) mHookBeforeHandlers();
  if (propID != kTestAUSeedProperty) return kAudioUnitErr_InvalidProperty;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidScope;
  if (pData)
  {
    if (*pDataSize < sizeof(UInt32)) return kAudioUnitErr_InvalidPropertyValue;
    std::memcpy(pData, &mSeed, sizeof(UInt32));
  }
  *pDataSize = sizeof(UInt32);
  *pWriteable = true;
  return noErr;
}

ComponentResult TestAUPlug::SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement,
                                               UInt32 dataSize, const void* pData)
{
  if (propID != kTestAUSeedProperty) return kAudioUnitErr_InvalidProperty;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidScope;
  if (!pData || dataSize < sizeof(UInt32)) return kAudioUnitErr_InvalidPropertyValue;
  std::memcpy(&mSeed, pData, sizeof(UInt32));
  return noErr;
}

std::function<IPlugAU*()> gTestAUFactory;

IPlugAU* MakePlug()
{
  if (gTestAUFactory) return gTestAUFactory();
  IPlugInstanceInfo info;
  info.mOSXBundleID.Set(kTestAUBundleID);
  info.mCocoaViewFactoryClassName.Set(kTestAUViewClass);
  return new TestAUPlug(info);
}

extern "C" ComponentResult TestAU_Entry(ComponentParameters* params, void* pPlug)
{
  return IPlugAU::IPlugAUEntry(params, pPlug);
}

extern "C" ComponentResult TestAU_ViewEntry(ComponentParameters* params, void* pView)
{
  return IPlugAU::IPlugAUCarbonViewEntry(params, pView);
}
