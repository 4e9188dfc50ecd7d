#pragma once
// A plug-in base with no host behind it, for examples, offline tools and tests that
// run a processor and its editor directly: host notifications go nowhere, the
// transport stands still at 120 BPM in 4/4, and nothing can be resized or sent.
// A subclass overrides whichever of these it wants to observe.

#include "IPlugBase.h"

class IPlugHostless : public IPlugBase
{
public:
  using IPlugBase::IPlugBase;

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = *pDenom = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};
