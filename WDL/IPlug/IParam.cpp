#include "IParam.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
// Truncates toward zero like a cast, but limited to the int range so that no value
// (however large, or NaN) makes the conversion undefined.
int TruncToInt(double v) noexcept
{
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// The smallest k in 0..5 with step * 10^k whole, else 6.
int PrecisionForStep(double step) noexcept
{
  double scaled = step;
  for (int k = 0; k <= 5; ++k, scaled *= 10.0)
    if (std::fabs(scaled - std::round(scaled)) <= 1e-9 * std::fabs(scaled)) return k;
  return 6;
}
}  // namespace

IParam::IParam() noexcept
  : mType(kTypeNone),
    mValue(0.0),
    mMin(0.0),
    mMax(1.0),
    mStep(1.0),
    mShape(1.0),
    mDefault(0.0),
    mDisplayPrecision(0),
    mNegateDisplay(false),
    mCanAutomate(true),
    mDisplayTexts(4096)
{
  mName[0] = mLabel[0] = mParamGroup[0] = 0;
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group)
{
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, group);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label, const char* group)
{
  if (mType == kTypeNone) mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, label, group);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, const char* group)
{
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, static_cast<double>(defaultVal), static_cast<double>(minVal), static_cast<double>(maxVal), 1.0,
             label, group);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, const char* group)
{
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyBounded(mName, name, MAX_PARAM_NAME_LEN);
  CopyBounded(mLabel, label, MAX_PARAM_LABEL_LEN);
  CopyBounded(mParamGroup, group, MAX_PARAM_GROUP_LEN);
  Set(defaultVal);
  mMin = minVal;
  mMax = maxVal > minVal + step ? maxVal : minVal + step;
  mStep = step;
  mDefault = defaultVal;
  mDisplayPrecision = PrecisionForStep(step);
}

void IParam::SetDisplayText(int value, const char* text)
{
  DisplayText rec;
  std::memset(&rec, 0, sizeof(rec));
  rec.mValue = value;
  CopyBounded(rec.mText, text, MAX_PARAM_DISPLAY_TEXT_LEN);
  mDisplayTexts.Add(rec);
}

void IParam::SetShape(double shape) noexcept
{
  if (shape != 0.0) mShape = shape;
}

void IParam::SetNormalized(double normalizedValue) noexcept
{
  double value = mMin + (mMax - mMin) * std::pow(normalizedValue, mShape);
  if (mType != kTypeDouble && mStep > 0.0) value = std::floor(value / mStep + 0.5) * mStep;
  if (value > mMax) value = mMax;
  Set(value);
}

double IParam::GetNormalized(double nonNormalizedValue) const noexcept
{
  // A parameter with a zero step can have an empty range; it sits at 0.
  if (!(mMax > mMin)) return 0.0;
  const double v = Clamp(nonNormalizedValue);
  return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

int IParam::Int() const noexcept { return TruncToInt(Value()); }

double IParam::DBToAmp() const noexcept { return std::exp(Value() * 0.1151292546497); }

void IParam::GetBounds(double* pMin, double* pMax) const noexcept
{
  *pMin = mMin;
  *pMax = mMax;
}

const char* IParam::GetLabelForHost() const noexcept
{
  const char* text = GetDisplayText(TruncToInt(Value()));
  return text[0] ? "" : mLabel;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* rDisplay, bool withDisplayText) const noexcept
{
  if (normalized) value = mMin + (mMax - mMin) * std::pow(value, mShape);
  if (withDisplayText)
  {
    const char* text = GetDisplayText(TruncToInt(value));
    if (text[0])
    {
      CopyBounded(rDisplay, text, MAX_PARAM_DISPLAY_LEN);
      return;
    }
  }
  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision == 0)
    std::snprintf(rDisplay, MAX_PARAM_DISPLAY_LEN, "%d", TruncToInt(value));
  else
    std::snprintf(rDisplay, MAX_PARAM_DISPLAY_LEN, "%.*f", mDisplayPrecision, value);
}

const char* IParam::GetDisplayText(int value) const noexcept
{
  const int n = mDisplayTexts.GetSize();
  const DisplayText* recs = mDisplayTexts.Get();
  for (int i = 0; i < n; ++i)
    if (recs[i].mValue == value) return recs[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* pValue) const noexcept
{
  if (idx < 0 || idx >= mDisplayTexts.GetSize()) return nullptr;
  const DisplayText& rec = mDisplayTexts.Get()[idx];
  if (pValue) *pValue = rec.mValue;
  return rec.mText;
}

bool IParam::MapDisplayText(const char* str, int* pValue) const noexcept
{
  if (!str) return false;
  const int n = mDisplayTexts.GetSize();
  const DisplayText* recs = mDisplayTexts.Get();
  for (int i = 0; i < n; ++i)
  {
    if (std::strcmp(recs[i].mText, str) == 0)
    {
      if (pValue) *pValue = recs[i].mValue;
      return true;
    }
  }
  return false;
}
