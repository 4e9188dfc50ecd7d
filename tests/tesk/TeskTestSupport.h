#pragma once
// Shared by the processor's tests: a processor driven directly (parameters set the
// way a host's setter sets them, blocks rendered through ProcessDoubleReplacing); the
// signal helpers are the engine tests' (EngineTestSupport.h).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "EngineTestSupport.h"
#include "IGraphics.h"
#include "IGraphicsHeadless.h"
#include "Tesk.h"
#include "TeskEditor.h"

namespace tesk_test
{

// A processor with its editor built at once (as a host shows it), on the graphics host
// the platform offers (MakeGraphics decides); without one when withEditor is false.
inline std::unique_ptr<Tesk> MakeTesk(bool withEditor = true)
{
  auto plug = std::make_unique<Tesk>(TeskInstanceInfo());
  if (withEditor) plug->EnsureGUI();
  return plug;
}

// The editor on the headless host, whether or not a display is there: for tests that
// draw it or drive it themselves.
inline std::unique_ptr<Tesk> MakeHeadlessTesk(bool withEditor = true)
{
  RequestHeadlessEditors(true);
  return MakeTesk(withEditor);
}

// The editor a processor built: the concrete controls behind its channel.
inline TeskEditor& EditorOf(Tesk& plug) { return dynamic_cast<TeskEditor&>(*plug.GetEditorLink()); }

// One processor as a host has initialised it (every parameter announced), with a
// fixed seed so runs repeat, and its editor on the headless host built at once (or
// left for the test to build, EnsureGUI, when withEditor is false).
class Engine
{
public:
  explicit Engine(std::uint32_t seed = 12345u, bool withEditor = true)
    : mPlug(MakeHeadlessTesk(withEditor))
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
    mPlug->SendParamValueToEditor(idx, value);
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

}  // namespace tesk_test
