#pragma once
// A minimal binding over IPlugBase for tests: it records what the base tells the
// host and lets a test swap in its own processor.

#include "IPlugBase.h"

#include <functional>
#include <string>
#include <vector>

class TestPlug : public IPlugBase
{
public:
  struct Options
  {
    int nParams = 13;
    const char* channelIO = "1-1 2-2";
    int nPresets = 1;
    bool doesChunks = false;
    int version = 0x00010000;
    int uniqueID = 0x5465736B;  // "Tesk"
  };

  explicit TestPlug(const Options& o)
    : IPlugBase(o.nParams, o.channelIO, o.nPresets, "Test", "", "Maker", o.version, o.uniqueID, o.uniqueID, 8192, false,
                o.doesChunks, false, kAPIAU)
  {
  }
  TestPlug()
    : TestPlug(Options{})
  {
  }

  // Every parameter a double in 0..1 with step 0.0001, default i / 100.
  void InitDoubles()
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->InitDouble(("p" + std::to_string(i)).c_str(), i / 100.0, 0.0, 1.0, 0.0001);
  }

  void SetValues(const std::vector<double>& v)
  {
    for (size_t i = 0; i < v.size(); ++i) GetParam(static_cast<int>(i))->Set(v[i]);
  }
  std::vector<double> Values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i) v.push_back(GetParam(i)->Value());
    return v;
  }

  // ---- What the base told the "host" and the processor ----
  std::vector<std::string> events;
  std::function<void(double**, double**, int)> process;

  void OnParamChange(int idx) override
  {
    IPlugBase::OnParamChange(idx);
    events.push_back("change " + std::to_string(idx));
  }
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override
  {
    if (process)
      process(in, out, nFrames);
    else
      IPlugBase::ProcessDoubleReplacing(in, out, nFrames);
  }
  void PresetsChangedByHost() override { events.push_back("presets changed"); }
  void BeginInformHostOfParamChange(int idx) override { events.push_back("begin " + std::to_string(idx)); }
  void InformHostOfParamChange(int idx, double v) override
  {
    events.push_back("inform " + std::to_string(idx) + " " + std::to_string(v));
  }
  void EndInformHostOfParamChange(int idx) override { events.push_back("end " + std::to_string(idx)); }
  void InformHostOfProgramChange() override { events.push_back("program change"); }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return tempo; }
  void GetTimeSig(int* pNum, int* pDenom) override
  {
    *pNum = 4;
    *pDenom = 4;
  }
  void GetTime(ITimeInfo* pTimeInfo) override { (void)pTimeInfo; }
  void ResizeGraphics(int w, int h) override
  {
    (void)w;
    (void)h;
  }
  bool SendMidiMsg(IMidiMsg* pMsg) override
  {
    sentMidi.push_back(*pMsg);
    return pMsg->mStatus != 0;  // a cleared message counts as a failed send
  }

  double tempo = 120.0;
  std::vector<IMidiMsg> sentMidi;

  using IPlugBase::mPresets;
};
