#pragma once
// A small effect on the Audio Unit binding for the harness: "1-1 2-2", a gain in dB,
// an enumerated mode with display texts, a boolean, two parameters in one group and
// one in another, two factory presets, a headless editor, a private property, and
// counters of every hook the binding calls.

#include "IPlugAU.h"

#include <atomic>
#include <functional>
#include <vector>

enum ETestAUParams
{
  kGain = 0,  // dB, -70..12, label "dB"
  kMode,      // enumeration: "Soft", "Medium", "Hard"
  kActive,    // boolean
  kWidth,     // group "Stereo", double 0..100 "%"
  kSpread,    // group "Stereo", double 0..1, negated display
  kDrive,     // group "Color", integer 0..10
  kNumTestParams
};

inline constexpr OSType kTestAUSubType = 'TsAU';
inline constexpr OSType kTestAUMfr = 'TsMk';
inline constexpr int kTestAULatency = 256;
inline constexpr int kTestAUVersion = 0x00010203;  // v1.2.3
inline constexpr const char* kTestAUBundleID = "com.testmaker.testau";
inline constexpr const char* kTestAUViewClass = "TestAU_View";
// The private property the test plug-in answers: a 32-bit seed, as a renderer would set it.
inline constexpr AudioUnitPropertyID kTestAUSeedProperty = IPlugAU::kFirstPrivateProperty;

class TestAUPlug final : public IPlugAU
{
public:
  explicit TestAUPlug(IPlugInstanceInfo info, const char* channelIO = "1-1 2-2", bool withEditor = true);

  void Reset() override;
  void OnParamChange(int paramIdx) override;
  void OnActivate(bool active) override;
  void OnHostIdentified() override { ++mHostIdentified; }
  void OnIdle() override { ++mIdles; }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Counters and records the harness reads.
  int mResets = 0;
  int mHostIdentified = 0;
  int mIdles = 0;
  std::vector<bool> mActivations;
  std::vector<int> mParamChanges;
  std::atomic<int> mProcessCalls{0};
  int mLastProcessFrames = -1;
  UInt32 mSeed = 0;
  std::vector<double> mEditorValues;  // what the editor's gain control received from the plug-in
  // Called at the start of OnParamChange and of the private property handlers, so a test
  // can make them fail the way a plug-in's code might (by throwing).
  std::function<void()> mHookBeforeHandlers;

protected:
  ComponentResult GetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32* pDataSize, Boolean* pWriteable, void* pData) override;
  ComponentResult SetPrivateProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                     UInt32 dataSize, const void* pData) override;

private:
  double mGainAmp = 1.0;
};

// Replaces the factory for a test (e.g. one that throws); empty for the usual plug-in.
extern std::function<IPlugAU*()> gTestAUFactory;

// The component entries, exported under the test plug-in's own names.
extern "C" ComponentResult TestAU_Entry(ComponentParameters* params, void* pPlug);
extern "C" ComponentResult TestAU_ViewEntry(ComponentParameters* params, void* pView);
