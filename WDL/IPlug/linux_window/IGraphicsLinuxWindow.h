#pragma once
// The two sides of the Linux editor, as each sees the other.
//
// IGraphicsLinux (the graphics host, library graphics_linux, no X11 in it) and the X11
// window (X11EditorWindow, library graphics_x11) are libraries of their own and may live
// in different shared objects: the editor is built where the plug-in is, the window
// where the program that shows it links X11. So they meet only through these two
// abstract classes: every call between them is a virtual call, and the arguments are plain values
// (IRECT, IText, IMouseMod, C strings) or the pop-up menu model, whose accessors are
// inline in its header. Neither side calls a non-virtual function compiled into the other.
//
// Threads: every call in both directions runs on the editor thread (the thread that
// drives the window: its own editor thread, or a host's UI thread calling Idle), except
// IGraphicsLinuxWindow::EditorDestroyed, which runs on whatever thread destroys the
// plug-in, and AttachWindow/DetachWindow, which are safe from any thread.

#include <cstdint>

#include "IGraphicsStructs.h"

class IPopupMenu;
class IGraphicsLinuxWindow;

// The editor's drawing surface as the window reads it: pixels of the raster layer
// (bytes A, R, G, B), rows of `span` pixels, valid until the editor is resized.
struct IGraphicsLinuxSurface
{
  const std::uint32_t* bits = nullptr;
  int width = 0, height = 0, span = 0;
};

// What the window needs to show an in-place text entry.
struct IGraphicsLinuxTextEntry
{
  IRECT rect;         // editor coordinates
  IText style;        // face, size, colours, alignment (its cached font is not used)
  const char* text;   // initial text, UTF-8
  const char* allow;  // characters that may be typed; null: any character
  int maxLength;      // characters; 0: no limit
};

// The graphics host as its window sees it.
class IGraphicsLinuxEditor
{
public:
  virtual int EditorWidth() = 0;
  virtual int EditorHeight() = 0;
  virtual int EditorFPS() = 0;
  // False when another window is attached. The host then forwards its platform
  // operations to this window until DetachWindow. The calling thread becomes the
  // editor thread (the one that drives the window).
  virtual bool AttachWindow(IGraphicsLinuxWindow* pWindow) = 0;
  // Forgets the window if it is the attached one; ends an open text entry.
  virtual void DetachWindow(IGraphicsLinuxWindow* pWindow) = 0;
  virtual IGraphicsLinuxSurface GetSurface() = 0;
  // Marks every control dirty, so the next timer step draws the whole editor.
  virtual void RedrawAll() = 0;
  // The timer: takes what other threads handed the editor (values to show), then asks
  // which controls are dirty and redraws their union, which reaches the window as
  // PresentSurface.
  virtual void TimerStep() = 0;

  // Events in editor coordinates.
  virtual void MouseDown(int x, int y, IMouseMod* pMod) = 0;
  virtual void MouseUp(int x, int y, IMouseMod* pMod) = 0;
  virtual void MouseDrag(int x, int y, IMouseMod* pMod) = 0;
  virtual void MouseDblClick(int x, int y, IMouseMod* pMod) = 0;
  virtual void MouseWheel(int x, int y, IMouseMod* pMod, int d) = 0;
  virtual void MouseOver(int x, int y, IMouseMod* pMod) = 0;
  virtual void MouseOut() = 0;
  virtual bool KeyDown(int x, int y, int key) = 0;
  // The text entry closed: with the typed text when committed, null when cancelled.
  virtual void TextEntryDone(const char* text) = 0;

protected:
  ~IGraphicsLinuxEditor() = default;  // never deleted through this interface
};

// The window as its graphics host sees it.
class IGraphicsLinuxWindow
{
public:
  // Copies the part of the surface inside the rectangle (editor coordinates, not yet
  // clipped to the surface) to the screen.
  virtual void PresentSurface(const IRECT& r) = 0;
  // The editor was rebuilt at another size: the window follows it.
  virtual void EditorResized() = 0;
  virtual void OpenTextEntry(const IGraphicsLinuxTextEntry& entry) = 0;
  // Closes an open text entry without committing it.
  virtual void EndTextEntry() = 0;
  // Shows the menu modally; the menu (or submenu) holding the chosen entry, with its
  // chosen index set, or null when dismissed.
  virtual IPopupMenu* ShowPopupMenu(IPopupMenu* pMenu, const IRECT& r) = 0;
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  // Writes the chosen path into out (size bytes); false when cancelled or impossible.
  virtual bool ChooseFile(bool save, const char* defaultName, const char* folder, const char* extensions, char* out,
                          int size) = 0;
  virtual bool OpenURL(const char* url) = 0;
  virtual void HideCursor() = 0;
  virtual void ShowCursor() = 0;
  // The X11 window ID, 0 while closed.
  virtual std::uint64_t NativeWindow() = 0;
  // Closes the window (the host's CloseWindow); the window detaches itself.
  virtual void Close() = 0;
  // The graphics host is being destroyed: when this returns, the window no longer
  // touches it. Any thread.
  virtual void EditorDestroyed() = 0;

protected:
  ~IGraphicsLinuxWindow() = default;  // owned by whoever opened it
};
