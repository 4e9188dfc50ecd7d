#pragma once
// The ready-made controls of the graphics framework. Each one differs from IControl
// only in how it draws and in the events it overrides; value flow, dirtiness,
// prompts and defaults are the base class's.
//
//   IControl -> IPanelControl, IBitmapControl, IInvisibleSwitchControl,
//               IRadioButtonsControl, IFaderControl, IKnobControl, ITextControl,
//               IURLControl, IFileSelectorControl
//   IBitmapControl -> ISwitchControl -> IContactControl, IBitmapOverlayControl
//   IKnobControl -> IKnobLineControl, IKnobRotaterControl, IKnobMultiControl,
//                   IKnobRotatingMaskControl
//   ITextControl -> ICaptionControl
//
// Threads: construction, drawing and events run on the editor thread.

#include <numbers>

#include "IControl.h"
#include "ITextControl.h"
#include "heapbuf.h"
#include "wdlstring.h"

// How faders and knobs read the mouse.
enum EDirection
{
  kVertical = 0,
  kHorizontal = 1
};

// Pixels of mouse travel are divided by the control's extent and by this factor.
inline constexpr double DEFAULT_GEARING = 4.0;

// The frame (counting from 1) a bitmap of nFrames frames shows for a normalized
// value: the nearest of the evenly spaced frames, kept within 1..nFrames even for
// values outside 0..1 (or not a number).
int StockControlFrame(double value, int nFrames) noexcept;

// ---------------------------------------------------------------------------
// Bitmap family (IControlsBitmap.cpp)
// ---------------------------------------------------------------------------

// Fills its rectangle with one colour; the panel background of the graphics host.
class IPanelControl final : public IControl
{
public:
  IPanelControl(IPlugBase* pPlug, IRECT rect, const IColor* pColor);

  bool Draw(IGraphics* pGraphics) override;

private:
  IColor mColor;
};

// Shows the frame of its bitmap that the value selects; the rectangle is one frame
// placed at (x, y). The image background of the graphics host.
class IBitmapControl : public IControl
{
public:
  IBitmapControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendClobber);

  bool Draw(IGraphics* pGraphics) override;

  const IBitmap* GetBitmap() const noexcept { return &mBitmap; }

protected:
  IBitmap mBitmap;
};

// A bitmap switch: every press steps the value to the next frame and wraps from the
// last frame back to the first.
class ISwitchControl : public IBitmapControl
{
public:
  ISwitchControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendClobber);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // A quick second click steps again rather than restoring the default.
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
};

// A momentary switch: pressed it steps like a switch, released it goes back to 0.
class IContactControl final : public ISwitchControl
{
public:
  IContactControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                  IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendClobber);

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
};

// A switch that, while off (value below 0.5), draws nothing and takes the mouse over
// a separate target area; while on it shows its bitmap and takes the mouse over its
// own rectangle. The hit area follows the value at each draw.
class IBitmapOverlayControl final : public ISwitchControl
{
public:
  IBitmapOverlayControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap, IRECT targetArea,
                        IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendClobber);

  bool Draw(IGraphics* pGraphics) override;

  const IRECT* GetTargetArea() const noexcept { return &mTargetArea; }

private:
  IRECT mTargetArea;
};

// An area that toggles its parameter between 0 and 1 when pressed; draws nothing.
class IInvisibleSwitchControl final : public IControl
{
public:
  IInvisibleSwitchControl(IPlugBase* pPlug, IRECT rect, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
};

// A row or column of buttons that share one bitmap (frame 1 off, frame 2 on); the
// pressed button selects value i / (n - 1).
class IRadioButtonsControl final : public IControl
{
public:
  // The buttons are spread evenly over the rectangle, from its top (or left) edge,
  // or from its bottom (or right) edge when reversed.
  IRadioButtonsControl(IPlugBase* pPlug, IRECT rect, int paramIdx, int nButtons, IBitmap* pBitmap,
                       EDirection direction = kVertical, bool reverse = false);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

  int NButtons() const noexcept { return mRECTs.GetSize(); }
  const IRECT* GetButtonRECT(int i) const noexcept;
  // The button the value selects, 0..n - 1.
  int ActiveButton() const noexcept;

private:
  void LayOutVertical(int nButtons, bool reverse, int frameH);
  void LayOutHorizontal(int nButtons, bool reverse, int frameH);

  WDL_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};

// ---------------------------------------------------------------------------
// Faders and knobs (IControlsKnob.cpp)
// ---------------------------------------------------------------------------

// A handle bitmap sliding along a track of travel length pixels; the value follows
// the mouse, the handle's centre sitting under the pointer.
class IFaderControl final : public IControl
{
public:
  // A vertical fader is the handle's width wide and len high; a horizontal one is
  // len wide and the handle's height high. With onlyHandle the fader takes the mouse
  // only over its handle.
  IFaderControl(IPlugBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                EDirection direction = kVertical, bool onlyHandle = false);

  // Where the handle is drawn for a value; a negative value means the current one.
  IRECT GetHandleRECT(double value = -1.0) const;

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  bool IsHit(int x, int y) override;
  bool Draw(IGraphics* pGraphics) override;

  int GetLength() const noexcept { return mLen; }
  int GetHandleHeadroom() const noexcept { return mHandleHeadroom; }
  EDirection GetDirection() const noexcept { return mDirection; }

private:
  void SnapToMouse(int x, int y);

  int mLen, mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};

// The base of every knob: a drag over the knob's extent moves the value by 1 / gearing
// (ten times finer with control or shift held); dragging up or right raises it.
class IKnobControl : public IControl
{
public:
  IKnobControl(IPlugBase* pPlug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING, IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;

  EDirection GetDirection() const noexcept { return mDirection; }
  double GetGearing() const noexcept { return mGearing; }
  void SetGearing(double gearing) noexcept { mGearing = gearing; }

protected:
  EDirection mDirection;
  double mGearing;
};

// A knob drawn as one anti-aliased line from the inner to the outer radius. Angles are
// in radians, 0 pointing up and positive turning clockwise.
class IKnobLineControl final : public IKnobControl
{
public:
  // An outer radius of 0 reaches half the rectangle's width.
  IKnobLineControl(IPlugBase* pPlug, IRECT rect, int paramIdx, const IColor* pColor, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * std::numbers::pi,
                   double maxAngle = 0.75 * std::numbers::pi, EDirection direction = kVertical,
                   double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

private:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// A knob drawn by rotating one bitmap about the rectangle's centre (angles in radians).
class IKnobRotaterControl final : public IKnobControl
{
public:
  // The rectangle is the bitmap placed at (x, y); yOffset moves the rotation centre down.
  IKnobRotaterControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      double minAngle = -0.75 * std::numbers::pi, double maxAngle = 0.75 * std::numbers::pi,
                      int yOffset = 0, EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// A knob that shows the frame of a film-strip bitmap the value selects.
class IKnobMultiControl final : public IKnobControl
{
public:
  IKnobMultiControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap, EDirection direction = kVertical,
                    double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mBitmap;
};

// A knob made of a fixed base, a mask added on top after rotation and a rotated top
// image (angles in degrees).
class IKnobRotatingMaskControl final : public IKnobControl
{
public:
  IKnobRotatingMaskControl(IPlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase, IBitmap* pMask, IBitmap* pTop,
                           double minAngle = -120.0, double maxAngle = 120.0, EDirection direction = kVertical,
                           double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* pGraphics) override;

private:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};

// ---------------------------------------------------------------------------
// Text, links and files (IControlsText.cpp)
// ---------------------------------------------------------------------------

// Shows its parameter's display text, optionally followed by the parameter's unit.
// A press (either button) or double-click opens the value prompt once prompting is
// enabled (DisablePrompt(false)).
class ICaptionControl final : public ITextControl
{
public:
  ICaptionControl(IPlugBase* pPlug, IRECT rect, int paramIdx, const IText* pText, bool showParamLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

private:
  // Rebuilds the text from the parameter's current display.
  void UpdateCaption();

  bool mShowParamLabel;
};

// An invisible area that opens a web page when pressed, falling back to a second
// address when the first is empty or cannot be opened.
class IURLControl final : public IControl
{
public:
  // Addresses and message longer than URL_LEN - 1 characters are cut.
  static constexpr int URL_LEN = 512;

  IURLControl(IPlugBase* pPlug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;

  const char* GetURL() const noexcept { return mURL; }
  const char* GetBackupURL() const noexcept { return mBackupURL; }
  const char* GetMessage() const noexcept { return mErrMsg; }

private:
  char mURL[URL_LEN] = {};
  char mBackupURL[URL_LEN] = {};
  char mErrMsg[URL_LEN] = {};
};

// A button that opens the file dialog; it shows its bitmap while the dialog is up and
// reports itself dirty once more after a choice so the plug-in's redraw sees it.
class IFileSelectorControl final : public IControl
{
public:
  enum EFileSelectorState
  {
    kFSNone = 0,
    kFSSelecting = 1,
    kFSDone = 2
  };

  IFileSelectorControl(IPlugBase* pPlug, IRECT rect, int paramIdx, IBitmap* pBitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(IGraphics* pGraphics) override;
  // Dirty as usual; after a finished selection also true once, going back to kFSNone.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(WDL_String* pStr) const;
  void SetLastSelectedFileFromPlug(const char* file);
  const char* GetDir() const noexcept { return mDir.Get(); }
  EFileSelectorState GetState() const noexcept { return mState; }

private:
  IBitmap mBitmap;
  WDL_String mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState;
};
