#pragma once
// The base class of every editor control. A control owns a rectangle of the editor,
// a normalized value, an optional binding to a plug-in parameter (plus auxiliary
// parameters it follows), a text style and a blend. It draws itself through the
// graphics host's drawing calls, receives the host's mouse and key events, and
// pushes the user's changes to the plug-in.
//
// The text control that shows a parameter's display text or name for another
// control lives in ITextControl.h; the other ready-made controls build on this
// class in files of their own.
//
// Threads (named as in IPlugBase.h): a control's state is written on the editor thread
// only: events, drawing, prompts and the values the graphics host sets arrive there.
// Values from other threads reach it through the graphics host's hand-off
// (IGraphics::SetParameterFromPlug); a control class that takes values of its own from
// other threads keeps them in atomics and applies them in ApplyHandOff, on the editor's
// timer tick.

#include "IGraphicsStructs.h"
#include "heapbuf.h"

class IPlugBase;
class IGraphics;
class IParam;
class ITextControl;

class IControl
{
public:
  // An extra parameter the control follows besides its own.
  struct AuxParam
  {
    double mValue;
    int mParamIdx;
  };

  // The rectangle is also the hit area until SetTargetArea changes it.
  IControl(IPlugBase* pPlug, IRECT rect, int paramIdx = -1,
           IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNone)) noexcept;
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // --- Events (defaults: right-click prompts, wheel and double-click adjust) ---
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int x, int y, IMouseMod* pMod);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod);
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  virtual void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* pMod);
  virtual void OnMouseOut();

  // Every control class draws itself; returns true when it drew.
  virtual bool Draw(IGraphics* pGraphics) = 0;

  // --- Values ---
  // The first value from the plug-in also becomes the default value.
  virtual void SetValueFromPlug(double value);
  virtual void TextFromTextEntry(const char* txt);
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  // Clamps the value to the clamp range and marks the control; with push the value
  // also goes to the plug-in.
  virtual void SetDirty(bool pushParamToPlug = true);
  // Dirty becomes the redraw request, which is then cleared.
  virtual void SetClean();
  virtual bool IsDirty();
  virtual void OnGUIIdle();
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);
  // Editor thread, once per timer tick before the redraw is decided: applies what other
  // threads handed this control since the last tick. The base has nothing to apply.
  virtual void ApplyHandOff() {}

  void SetValueFromUserInput(double value);
  void SetAllAuxParamsFromGUI();

  double GetValue() const noexcept { return mValue; }
  double GetDefaultValue() const noexcept { return mDefaultValue; }
  void SetDefaultValue(double value) noexcept { mDefaultValue = value; }
  int ParamIdx() const noexcept { return mParamIdx; }
  IParam* GetParam() const;
  IPlugBase* GetPlug() const noexcept { return mPlug; }
  // The plug-in's editor, or null when there is no plug-in or no editor yet.
  IGraphics* GetGUI() const;

  const IRECT* GetRECT() const noexcept { return &mRECT; }
  const IRECT* GetTargetRECT() const noexcept { return &mTargetRECT; }
  void SetTargetArea(IRECT rect) noexcept { mTargetRECT = rect; }

  const IChannelBlend* GetBlend() const noexcept { return &mBlend; }
  IText* GetText() noexcept { return &mText; }
  void SetText(const IText* pTxt) noexcept
  {
    if (pTxt) mText = *pTxt;
  }
  int GetTextEntryLength() const noexcept { return mTextEntryLength; }
  void SetTextEntryLength(int len) noexcept { mTextEntryLength = len; }

  void Clamp(double lo, double hi) noexcept
  {
    mClampLo = lo;
    mClampHi = hi;
  }
  double GetClampLo() const noexcept { return mClampLo; }
  double GetClampHi() const noexcept { return mClampHi; }

  bool IsHidden() const noexcept { return mHide; }
  bool IsGrayed() const noexcept { return mGrayed; }
  bool GetRedraw() const noexcept { return mRedraw; }

  void DisablePrompt(bool disable) noexcept { mDisablePrompt = disable; }
  bool IsPromptDisabled() const noexcept { return mDisablePrompt; }
  bool GetMOWhenGrayed() const noexcept { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool allow) noexcept { mMOWhenGrayed = allow; }
  bool GetDblAsSingleClick() const noexcept { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool single) noexcept { mDblAsSingleClick = single; }

  // The display controls are not owned.
  void SetValDisplayControl(ITextControl* pValDisplayControl) noexcept { mValDisplayControl = pValDisplayControl; }
  void SetNameDisplayControl(ITextControl* pNameDisplayControl) noexcept { mNameDisplayControl = pNameDisplayControl; }

  // --- Prompts (do nothing while prompting is disabled, the initial state) ---
  void PromptUserInput();
  void PromptUserInput(IRECT* pTextRect);

  // --- Auxiliary parameters ---
  void AddAuxParam(int paramIdx);
  int AuxParamIdx(int paramIdx) const noexcept;
  AuxParam* GetAuxParam(int idx) const noexcept;
  int NAuxParams() const noexcept { return mAuxParams.GetSize(); }

protected:
  // Shared by the two prompt forms; the rectangle is already chosen.
  void PromptUserInputIn(IRECT* pTextRect);
  // Keeps the value and name display controls in step with the parameter.
  void UpdateDisplayControls();

  int mTextEntryLength;
  IText mText;
  IPlugBase* mPlug;
  IRECT mRECT, mTargetRECT;
  int mParamIdx;
  WDL_TypedBuf<AuxParam> mAuxParams;
  double mValue, mDefaultValue, mClampLo, mClampHi;
  bool mDirty, mHide, mGrayed, mRedraw, mDisablePrompt, mDblAsSingleClick, mMOWhenGrayed;
  IChannelBlend mBlend;
  ITextControl* mValDisplayControl;
  ITextControl* mNameDisplayControl;
};
