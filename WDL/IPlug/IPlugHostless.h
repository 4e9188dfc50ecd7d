#pragma once
// A plug-in base with no host behind it, for examples, offline tools and tests that
// run a processor and its editor directly: host notifications go nowhere, the
// transport stands still at 120 BPM in 4/4, and nothing can be resized or sent.
// A subclass overrides whichever of these it wants to observe.
//
// It takes the same constructor arguments as every binding (the instance
// information first), so a processor written against IPlugAPI builds against it
// unchanged; the base's own constructor stays available for small test plug-ins.

#include "IPlugBase.h"

class IPlugHostless : public IPlugBase
{
public:
  using IPlugBase::IPlugBase;

  // The binding's shape: nothing here has a bundle, a view factory or buses, so the
  // instance information and the side-chain count are accepted and not kept.
  IPlugHostless(const IPlugInstanceInfo& /* info */, int nParams, const char* channelIOStr, int nPresets,
                const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                int /* sideChainChannels */ = 0)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPISA)
  {
  }

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
