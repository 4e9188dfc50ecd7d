#pragma once
// Tesk's thirteen host parameters: one table, read by the processor (which declares
// them to its binding), the editor (which binds controls to them) and any generator
// of a binding's description files. Binding-free: the standard library only.
//
// Every parameter is a double in 0..1 with no label or group. A switch is a
// parameter the engine tests against 0.5 (IsOn); its step is 1.

namespace tesk
{
enum EParam
{
  kReductionAmount = 0,
  kSensitivity,
  kLow,
  kHigh,
  kWaveformDisplay,
  kFFTDisplay,
  kPre,
  kAuto,
  kResidual,
  kInv,
  kModeA,
  kModeB,
  kBypass,
  kNumParams
};

struct ParamRow
{
  EParam index;
  const char* name;
  double defaultValue;
  double step;
  bool isSwitch;
};

// In the fixed order of declaration (it has no visible effect, but stays).
inline constexpr ParamRow kParamRows[kNumParams] = {
  {kReductionAmount, "Reduction Amount", 0.0, 0.0001, false},
  {kSensitivity, "Sensitivity", 0.0, 0.0001, false},
  {kLow, "Low", 0.0, 0.0001, false},
  {kHigh, "High", 1.0, 0.0001, false},
  {kAuto, "Auto", 0.0, 1.0, true},
  {kResidual, "Residual", 0.0, 1.0, true},
  {kPre, "Pre", 0.0, 0.0001, false},
  {kInv, "Inv", 0.0, 1.0, true},
  {kModeA, "Mode A", 0.0, 0.0001, false},
  {kModeB, "Mode B", 0.0, 0.0001, false},
  {kBypass, "Bypass", 0.0, 1.0, true},
  {kFFTDisplay, "FFTDisplay", 0.0, 0.0001, false},
  {kWaveformDisplay, "WaveformDisplay", 0.0, 0.001, false},
};

inline constexpr double kParamMin = 0.0;
inline constexpr double kParamMax = 1.0;

// A switch is on strictly above one half.
constexpr bool IsOn(double value) noexcept { return value > 0.5; }
}  // namespace tesk
