#pragma once
// The editor's host object. It owns the editor's controls in drawing order, keeps the
// off-screen drawing surface, decides what to redraw, routes mouse and key events to
// the right control, carries parameter values from the plug-in to the controls and
// opens the value prompts controls ask for. It knows nothing of windows: a window
// binding (or the headless host) derives from it and supplies the platform operations.
//
// Threads (named as in IPlugBase.h): everything here runs on the editor thread (see
// IEditorThread.h: the thread that built the editor until a timer or a window claims it),
// except SetParameterFromPlug, which any thread may call: on the editor thread it sets
// the controls at once; on another it only stores the value in a preallocated slot
// (IParamHandOff.h), and the editor thread applies it on its next timer tick
// (OnEditorTimer). So the editor thread alone writes control state. The graphics host
// takes no lock of its own; the bitmap and font caches have theirs.

#include "IEditorThread.h"
#include "IGraphicsStructs.h"
#include "IParamHandOff.h"
#include "IPlugEditorHooks.h"
#include "lice_pixel.h"
#include "ptrlist.h"

class IPlugBase;
class IControl;
class IParam;
class IPopupMenu;
class WDL_String;
class LICE_SysBitmap;
class LICE_MemBitmap;

class IGraphics : public IPlugEditorHooks
{
public:
  // A refresh rate of 0 or below means 25 redraws per second.
  IGraphics(IPlugBase* pPlug, int w, int h, int refreshFPS = 0);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // --- Operations a window binding supplies (in this order) ---
  // Copies the drawing surface to the screen.
  virtual bool DrawScreen(IRECT* pR) = 0;
  virtual bool MeasureIText(IText* pTxt, const char* str, IRECT* pR);
  virtual void ForceEndUserEdit() = 0;
  // Rebuilds the editor at a new size: every control is deleted (the key catcher
  // survives) and the plug-in is asked to lay the editor out again.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Shows the menu modally; returns the menu (or submenu) holding the chosen entry,
  // or null when the user dismissed it.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) = 0;
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str, IParam* pParam) = 0;
  virtual void HostPath(WDL_String* pPath) = 0;
  virtual void PluginPath(WDL_String* pPath) = 0;
  virtual void DesktopPath(WDL_String* pPath) = 0;
  void PromptForFile(WDL_String* pFilename, EFileAction action = kFileOpen, WDL_String* pDir = nullptr,
                     const char* extensions = "") override = 0;
  virtual bool PromptForColor(IColor* pColor, const char* prompt = "") = 0;
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr) = 0;
  virtual void* OpenWindow(void* pParentWnd) = 0;
  // The form for a host-supplied window and control; no binding here supports it.
  virtual void* OpenWindow(void* pWindow, void* pControl, short leftOffset = 0, short topOffset = 0);
  virtual void AttachSubWindow(void* hostWindowRef) { (void)hostWindowRef; }
  virtual void RemoveSubWindow() {}
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  // Deletes the key catcher, the controls from the last to the first, the drawing
  // surface and then the scratch bitmap.
  ~IGraphics() override;
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  // Loads an image resource into a new raster bitmap (null when it cannot).
  virtual LICE_IBitmap* OSLoadBitmap(int ID, const char* name) = 0;
  // The plug-in is about to be destroyed: whatever drives the editor from a thread of its
  // own (an attached window's editor thread) stops for good, so that when this returns no
  // such thread calls into the editor or, through a control's push, into the plug-in. A
  // plug-in's destructor calls it first, before any of its parts go; any thread. The
  // base has nothing to stop.
  virtual void PlugInDestroying() {}

  // --- Construction and attachment ---
  // Creates the drawing surface and the scratch bitmap; the plug-in base calls it
  // once when the editor is attached.
  void PrepDraw();
  void AttachBackground(int ID, const char* name);
  void AttachPanelBackground(const IColor* pColor);
  // Takes ownership; returns the control's index.
  int AttachControl(IControl* pControl);
  // Takes ownership of the control that gets the keys no other control takes.
  void AttachKeyCatcher(IControl* pControl);
  void EnableMouseOver(bool enable) noexcept { mHandleMouseOver = enable; }
  void SetStrictDrawing(bool strict);

  IPlugBase* GetPlug() const noexcept { return mPlug; }
  int Width() const noexcept { return mWidth; }
  int Height() const noexcept { return mHeight; }
  int FPS() const noexcept { return mFPS; }
  int NControls() const noexcept { return mControls.GetSize(); }
  IControl* GetControl(int idx) const noexcept { return mControls.Get(idx); }
  IControl* GetKeyCatcher() const noexcept { return mKeyCatcher; }
  bool CanHandleMouseOver() const noexcept { return mHandleMouseOver; }
  bool IsStrictDrawing() const noexcept { return mStrict; }
  int GetMouseCapture() const noexcept { return mMouseCapture; }
  int GetMouseOver() const noexcept { return mMouseOver; }
  int GetMouseX() const noexcept { return mMouseX; }
  int GetMouseY() const noexcept { return mMouseY; }
  const IRECT* GetDrawRECT() const noexcept { return &mDrawRECT; }
  bool IsCursorHidden() const noexcept { return mCursorHidden; }

  // --- Control state by parameter index (every matching control) ---
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);

  // --- Values from the plug-in ---
  // Serves every control bound to the parameter and every control that follows it
  // as an auxiliary parameter. Any thread: on the editor thread at once; on another
  // thread (then without allocating or locking, the audio thread included) at the
  // editor's next timer tick, the latest value of each parameter (a value for a
  // parameter the plug-in does not have is dropped there).
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  // Editor thread: the controls are addressed by their place in the list.
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetAllControlsDirty();
  // The parameter changed through the editor (SetParameterFromGUI, any thread, under the
  // plug-in's mutex): a value still waiting for the tick gives way to this one.
  void ParameterChangedFromGUI(int paramIdx, double normalizedValue) noexcept override;

  // --- The editor thread and its timer ---
  // The first step of every timer tick, before IsDirty; a binding's timer calls it on the
  // thread that runs the timer. That thread becomes the editor thread (ClaimEditorThread),
  // then gets what other threads handed over since the last tick: the parameter values,
  // applied exactly as SetParameterFromPlug applies them on the editor thread, then each
  // control's own (IControl::ApplyHandOff), in list order.
  void OnEditorTimer();
  // The calling thread becomes the editor thread (IEditorThread::Claim). A window claims
  // it when it attaches, before it touches any control.
  void ClaimEditorThread() noexcept { mEditorThread.Claim(); }
  // For code that shows values from any thread: an IEditorThread::Access on this is
  // granted on the editor thread only.
  IEditorThread& EditorThread() noexcept { return mEditorThread; }

  // --- Redraw ---
  // Unites *pR with the rectangle of every dirty control; true if any is dirty.
  bool IsDirty(IRECT* pR);
  bool Draw(IRECT* pR);
  // Redraws every control, as a window would on its first paint.
  bool DrawAll();
  // Writes the whole surface, or the part of it inside *pR, as an opaque PNG.
  bool WriteSnapshotPNG(const char* path, const IRECT* pR = nullptr);

  // --- Events (editor pixels, origin top-left) ---
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  void ReleaseMouseCapture() noexcept;
  // The topmost control under the point that takes the mouse; -1 for none.
  int GetMouseControlIdx(int x, int y, bool mo = false);

  // --- Prompts ---
  void PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect);
  void SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt);

  // --- Host automation queries ---
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();

  void OnGUIIdle();

  // --- Drawing into the surface (see IGraphicsDrawing.cpp) ---
  // Source-offset form: the destination is clipped to the current draw clip.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend = nullptr);
  // Frame form: frames count from 1.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int frame = 1, const IChannelBlend* pBlend = nullptr);
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* pBlend = nullptr);
  // Angle in degrees.
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend = nullptr);
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  // n opaque points from (x, y) on, each (dx, dy) from the one before, colours given
  // as pixel words: what n DrawPoint calls without a blend draw, in one pass. Points
  // outside the surface are skipped.
  bool DrawPointRun(const LICE_pixel* colors, int n, int x, int y, int dx, int dy);
  // Stores the colour word without blending; a point outside the surface is ignored.
  bool ForcePixel(const IColor* pColor, int x, int y);
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend = nullptr,
                bool antiAlias = false);
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false);
  bool RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerradius, bool antiAlias);
  bool FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerradius, bool antiAlias);
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr);
  bool FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false);
  bool FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3, const IChannelBlend* pBlend);
  bool FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints, const IChannelBlend* pBlend = nullptr);
  bool DrawRect(const IColor* pColor, IRECT* pR);
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi);
  // x in 0..1 across the rectangle from the left edge.
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  // y in 0..1 up the rectangle from the bottom edge.
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  // Angle 0 points up; positive angles turn clockwise.
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  IColor GetPoint(int x, int y);
  void* GetBits();
  LICE_SysBitmap* GetDrawBitmap() const noexcept { return mDrawBitmap; }

  // Draws (or with measure, measures into *pR) the text; false when no font can be made.
  bool DrawIText(IText* pTxt, const char* str, IRECT* pR, bool measure = false);
  LICE_CachedFont* CacheFont(IText* pTxt);

  // --- Bitmaps (see IGraphicsBitmaps.cpp) ---
  // Loads once per process: later loads of the same ID return the cached image.
  // A missing image gives an IBitmap without data, which draws nothing.
  IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  void RetainBitmap(IBitmap* pBitmap);
  // Removes every cache entry holding the bitmap, then deletes it.
  void ReleaseBitmap(IBitmap* pBitmap);
  IBitmap ScaleBitmap(IBitmap* pBitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* pBitmap, IRECT* pR);

protected:
  // The hit search shared by press, release, double-click, wheel, key and the
  // automation query: the captured control if any, else the topmost hit.
  int CapturedOrHitControl(int x, int y);
  void DeleteSurfaces();

  IPlugBase* mPlug;
  WDL_PtrList<IControl> mControls;
  IRECT mDrawRECT;
  bool mCursorHidden;
  int mHiddenMousePointX, mHiddenMousePointY;
  LICE_SysBitmap* mDrawBitmap;
  LICE_MemBitmap* mTmpBitmap;

private:
  void DrawStrict(IRECT* pR);
  void DrawNonStrict();
  // Editor thread: what SetParameterFromPlug does to the controls.
  void ShowParameterValue(int paramIdx, double normalizedValue);

  int mWidth, mHeight, mFPS;
  int mMouseCapture, mMouseOver;
  int mMouseX, mMouseY;
  int mLastClickedParam;
  bool mHandleMouseOver;
  bool mStrict;
  IControl* mKeyCatcher;
  IEditorThread mEditorThread;
  IParamHandOff mParamHandOff;  // one slot per parameter of the plug-in
};
