#pragma once
// One automatable parameter: its type, range, step, curve, default, display and the
// texts a host shows. Every conversion between plain values and the host's
// normalized 0..1 scale goes through this class.

#include <atomic>

#include "IPlugStructs.h"
#include "heapbuf.h"

class IParam final
{
public:
  enum EParamType
  {
    kTypeNone = 0,  // not initialised yet
    kTypeBool = 1,
    kTypeInt = 2,
    kTypeEnum = 3,
    kTypeDouble = 4
  };

  IParam() noexcept;

  // ---- Set-up (UI/constructor thread). Each Init sets the type only while it is
  // still kTypeNone, so a narrower initialiser keeps its type when it calls a wider one.
  // Names, labels and groups longer than 31 characters are cut to 31.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "", const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "");

  // Appends a named value; the first record for a value wins on lookup.
  void SetDisplayText(int value, const char* text);
  // A shape of 0 is ignored.
  void SetShape(double shape) noexcept;
  void SetCanAutomate(bool canAutomate) noexcept { mCanAutomate = canAutomate; }
  void NegateDisplay() noexcept { mNegateDisplay = true; }
  void SetNegateDisplay(bool negate) noexcept { mNegateDisplay = negate; }

  // ---- Values. Any thread (the value is a relaxed atomic); no allocation, no locks.
  void Set(double value) noexcept { mValue.store(value, std::memory_order_relaxed); }
  void SetNormalized(double normalizedValue) noexcept;
  double GetNormalized() const noexcept { return GetNormalized(Value()); }
  double GetNormalized(double nonNormalizedValue) const noexcept;
  double Value() const noexcept { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const noexcept { return Value() >= 0.5; }
  int Int() const noexcept;
  double DBToAmp() const noexcept;
  double GetDefault() const noexcept { return mDefault; }
  double GetMin() const noexcept { return mMin; }
  double GetMax() const noexcept { return mMax; }
  double GetRange() const noexcept { return mMax - mMin; }
  double GetStep() const noexcept { return mStep; }
  double GetShape() const noexcept { return mShape; }
  int GetPrecision() const noexcept { return mDisplayPrecision; }
  void GetBounds(double* pMin, double* pMax) const noexcept;
  // Limits a plain value to [min, max].
  double Clamp(double value) const noexcept { return value < mMin ? mMin : (value > mMax ? mMax : value); }
  EParamType Type() const noexcept { return mType; }
  bool GetCanAutomate() const noexcept { return mCanAutomate; }
  bool GetNegateDisplay() const noexcept { return mNegateDisplay; }

  // ---- Texts for hosts and editors.
  const char* GetNameForHost() const noexcept { return mName; }
  // "" while the current value has a non-empty display text (the text says it all).
  const char* GetLabelForHost() const noexcept;
  const char* GetParamGroupForHost() const noexcept { return mParamGroup; }
  // Writes the display of value (plain, or 0..1 when normalized is set) into rDisplay,
  // which must hold MAX_PARAM_DISPLAY_LEN characters; longer displays are cut.
  void GetDisplayForHost(double value, bool normalized, char* rDisplay, bool withDisplayText = true) const noexcept;
  // The same for the current value.
  void GetDisplayForHost(char* rDisplay, bool withDisplayText = true) const noexcept
  {
    GetDisplayForHost(Value(), false, rDisplay, withDisplayText);
  }
  // "" when no record has this value.
  const char* GetDisplayText(int value) const noexcept;
  int GetNDisplayTexts() const noexcept { return mDisplayTexts.GetSize(); }
  // The text of record idx (null for an index outside the table); writes its value when pValue is given.
  const char* GetDisplayTextAtIdx(int idx, int* pValue = nullptr) const noexcept;
  // Exact, case-sensitive lookup; false leaves *pValue untouched.
  bool MapDisplayText(const char* str, int* pValue) const noexcept;

private:
  struct DisplayText
  {
    int mValue;
    char mText[MAX_PARAM_DISPLAY_TEXT_LEN];
  };

  // A double that any thread reads and writes without a race (relaxed loads and stores),
  // copied as a plain value: an IParam stays copyable.
  class RelaxedDouble final
  {
  public:
    explicit RelaxedDouble(double v) noexcept
      : mV(v)
    {
    }
    RelaxedDouble(const RelaxedDouble& other) noexcept
      : mV(other.load(std::memory_order_relaxed))
    {
    }
    RelaxedDouble& operator=(const RelaxedDouble& other) noexcept
    {
      store(other.load(std::memory_order_relaxed), std::memory_order_relaxed);
      return *this;
    }
    double load(std::memory_order order) const noexcept { return mV.load(order); }
    void store(double v, std::memory_order order) noexcept { mV.store(v, order); }

  private:
    std::atomic<double> mV;
  };

  EParamType mType;
  // Written under the plug-in's mutex, read without it by the editor thread (formatting,
  // drawing) and the audio thread: relaxed, so the reads race with nothing and see the
  // same values.
  RelaxedDouble mValue;
  double mMin;
  double mMax;
  double mStep;
  double mShape;
  double mDefault;
  int mDisplayPrecision;
  char mName[MAX_PARAM_NAME_LEN];
  char mLabel[MAX_PARAM_LABEL_LEN];
  char mParamGroup[MAX_PARAM_GROUP_LEN];
  bool mNegateDisplay;
  bool mCanAutomate;
  WDL_TypedBuf<DisplayText> mDisplayTexts;
};
