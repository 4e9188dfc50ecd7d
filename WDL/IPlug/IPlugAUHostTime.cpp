// The host's transport as the plug-in sees it, through the callbacks the host
// handed over with the HostCallbacks property.

#include "IPlugAU.h"

#include <climits>

double IPlugAU::GetTempo()
{
  if (mHostCallbacks.beatAndTempoProc)
  {
    Float64 beat = 0.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo);
    if (tempo > 0.0) mTempo = tempo;
  }
  return mTempo;
}

int IPlugAU::GetSamplePos()
{
  if (!mHostCallbacks.transportStateProc) return 0;
  Boolean playing = false, changed = false, looping = false;
  Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
  mHostCallbacks.transportStateProc(mHostCallbacks.hostUserData, &playing, &changed, &samplePos, &looping, &cycleStart,
                                    &cycleEnd);
  const double rounded = samplePos + 0.5;
  // Positions outside an int cannot be represented; they stop at its ends.
  if (!(rounded > INT_MIN)) return INT_MIN;
  if (!(rounded < INT_MAX)) return INT_MAX;
  return static_cast<int>(rounded);
}

void IPlugAU::GetTimeSig(int* pNum, int* pDenom)
{
  if (!mHostCallbacks.musicalTimeLocationProc) return;
  UInt32 deltaToNextBeat = 0, denominator = 0;
  Float32 numerator = 0.0f;
  Float64 downBeat = 0.0;
  mHostCallbacks.musicalTimeLocationProc(mHostCallbacks.hostUserData, &deltaToNextBeat, &numerator, &denominator,
                                         &downBeat);
  if (pNum) *pNum = static_cast<int>(numerator);
  if (pDenom) *pDenom = static_cast<int>(denominator);
}

void IPlugAU::GetTime(ITimeInfo* pTimeInfo)
{
  if (!pTimeInfo) return;
  if (mHostCallbacks.beatAndTempoProc)
  {
    Float64 beat = 0.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo);
    if (tempo > 0.0) pTimeInfo->mTempo = tempo;
    if (beat > 0.0) pTimeInfo->mPPQPos = beat;
  }
  if (mHostCallbacks.transportStateProc)
  {
    Boolean playing = false, changed = false, looping = false;
    Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    mHostCallbacks.transportStateProc(mHostCallbacks.hostUserData, &playing, &changed, &samplePos, &looping,
                                      &cycleStart, &cycleEnd);
    if (samplePos > 0.0) pTimeInfo->mSamplePos = samplePos;
    if (cycleStart > 0.0) pTimeInfo->mCycleStart = cycleStart;
    if (cycleEnd > 0.0) pTimeInfo->mCycleEnd = cycleEnd;
    pTimeInfo->mTransportIsRunning = playing;
    pTimeInfo->mTransportLoopEnabled = looping;
  }
  if (mHostCallbacks.musicalTimeLocationProc)
  {
    UInt32 deltaToNextBeat = 0, denominator = 0;
    Float32 numerator = 0.0f;
    Float64 downBeat = 0.0;
    mHostCallbacks.musicalTimeLocationProc(mHostCallbacks.hostUserData, &deltaToNextBeat, &numerator, &denominator,
                                           &downBeat);
    pTimeInfo->mNumerator = static_cast<int>(numerator);
    pTimeInfo->mDenominator = static_cast<int>(denominator);
    if (downBeat > 0.0) pTimeInfo->mLastBar = downBeat;
  }
}
