#pragma once
// Shared by the processor's tests: a processor driven directly (parameters set the
// way a host's setter sets them, blocks rendered through ProcessDoubleReplacing) and
// a few signal helpers.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "IGraphics.h"
#include "IGraphicsHeadless.h"
#include "Tesk.h"
#include "TeskEditor.h"

namespace tesk_test
{
using Signal = std::vector<double>;

// The editor on the graphics host the platform offers (MakeGraphics decides).
inline std::unique_ptr<Tesk> MakeTesk() { return std::make_unique<Tesk>(TeskInstanceInfo()); }

// The editor on the headless host, whether or not a display is there: for tests that
// draw it or drive it themselves.
inline std::unique_ptr<Tesk> MakeHeadlessTesk()
{
  RequestHeadlessEditors(true);
  return MakeTesk();
}

// The editor a processor built: the concrete controls behind its channel.
inline TeskEditor& EditorOf(Tesk& plug) { return dynamic_cast<TeskEditor&>(*plug.GetEditorLink()); }

// One processor as a host has initialised it (every parameter announced), with a
// fixed seed so runs repeat, and its editor on the headless host.
class Engine
{
public:
  explicit Engine(std::uint32_t seed = 12345u)
    : mPlug(MakeHeadlessTesk())
  {
    mPlug->OnParamReset();
    mPlug->SetRandomSeed(seed);
  }

  Tesk& operator*() { return *mPlug; }
  Tesk* operator->() { return mPlug.get(); }

  // As the host's parameter setter does: value, the editor, then OnParamChange.
  void Set(int idx, double value)
  {
    WDL_MutexLock lock(mPlug->GetMutex());
    mPlug->GetParam(idx)->Set(value);
    if (IGraphics* pGraphics = mPlug->GetGUI()) pGraphics->SetParameterFromPlug(idx, value, false);
    mPlug->OnParamChange(idx);
  }

  // Renders the whole input in blocks of blockSize; mono input feeds both channels.
  void Render(const Signal& inL, const Signal& inR, Signal* pOutL, Signal* pOutR, int blockSize)
  {
    const int n = static_cast<int>(inL.size());
    pOutL->assign(n, 0.0);
    pOutR->assign(n, 0.0);
    for (int start = 0; start < n; start += blockSize)
    {
      const int len = std::min(blockSize, n - start);
      double* in[2] = {const_cast<double*>(inL.data()) + start, const_cast<double*>(inR.data()) + start};
      double* out[2] = {pOutL->data() + start, pOutR->data() + start};
      mPlug->ProcessDoubleReplacing(in, out, len);
    }
  }

  Signal RenderMono(const Signal& in, int blockSize = 512)
  {
    Signal outL, outR;
    Render(in, in, &outL, &outR, blockSize);
    return outL;
  }

  // One sample through the whole pipeline.
  void Step(double inL, double inR, double* pOutL = nullptr, double* pOutR = nullptr)
  {
    double l = inL, r = inR, oL = 0.0, oR = 0.0;
    double* in[2] = {&l, &r};
    double* out[2] = {&oL, &oR};
    mPlug->ProcessDoubleReplacing(in, out, 1);
    if (pOutL) *pOutL = oL;
    if (pOutR) *pOutR = oR;
  }

private:
  std::unique_ptr<Tesk> mPlug;
};

inline Signal Sine(int n, double freq, double amp, double rate = 44100.0)
{
  Signal s(n);
  for (int i = 0; i < n; ++i) s[i] = amp * std::sin(2.0 * std::numbers::pi * freq * i / rate);
  return s;
}

// Deterministic uniform noise in [-amp, amp].
inline Signal Noise(int n, double amp, std::uint32_t seed = 7u)
{
  TeskRandom r(seed);
  Signal s(n);
  for (int i = 0; i < n; ++i) s[i] = amp * (2.0 * r.Next() / TeskRandom::kMax - 1.0);
  return s;
}

inline double Rms(const Signal& s, int from, int to)
{
  double sum = 0.0;
  for (int i = from; i < to; ++i) sum += s[i] * s[i];
  return std::sqrt(sum / (to - from));
}

inline double Db(double ratio) { return 20.0 * std::log10(ratio); }
}  // namespace tesk_test
