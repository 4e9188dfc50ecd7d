#pragma once
// What the Cocoa editor view decides when it turns window-system input into the graphics
// host's calls: coordinates between a bottom-up Cocoa view and the top-down editor,
// rectangles for repaints, modifier flags and keys. Plain functions, so the decisions are
// the same wherever they are built and can be checked without a window system.
// Main (user-interface) thread, like every caller; no state.

#include <string_view>

#include "IGraphicsStructs.h"

namespace cocoa_view
{
// ---- Coordinates ----

struct EditorPoint
{
  int x, y;
};

// A rectangle in view points, origin bottom-left (the layout of NSRect).
struct CocoaRect
{
  double x, y, w, h;
};

// A mouse position in the view to editor pixels: truncated, then moved by (-2, -3).
// Hosts and stored automation were set up with these offsets, so they stay.
EditorPoint CocoaPointToEditor(double px, double py, int editorHeight) noexcept;

// The area to repaint for an editor rectangle: one pixel wider and taller than the
// rectangle, so the far edges a control may touch are repainted too.
CocoaRect EditorRectToCocoa(const IRECT& r, int editorHeight) noexcept;

// The editor rectangle a paint request covers (the view asks in points, bottom-up).
IRECT CocoaRectToEditor(const CocoaRect& r, int editorHeight) noexcept;

// ---- Modifiers ----

// Device-independent modifier bits of an event.
inline constexpr unsigned long kShiftFlag = 1ul << 17;
inline constexpr unsigned long kControlFlag = 1ul << 18;
inline constexpr unsigned long kOptionFlag = 1ul << 19;
inline constexpr unsigned long kCommandFlag = 1ul << 20;

enum class MouseButton
{
  kLeft,  // left-button events and mouse movement: a command-click counts as a right click
  kRight
};

IMouseMod MouseModFromFlags(unsigned long modifierFlags, MouseButton button) noexcept;

// ---- Keys ----

// Virtual key codes of the keys that are mapped by position rather than by character.
inline constexpr unsigned short kKeyCodeSpace = 49;
inline constexpr unsigned short kKeyCodeLeft = 123;
inline constexpr unsigned short kKeyCodeRight = 124;
inline constexpr unsigned short kKeyCodeDown = 125;
inline constexpr unsigned short kKeyCodeUp = 126;

// The framework's key numbering handed to IGraphics::OnKeyDown.
enum EKeyCode
{
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,   // "0".."9" are 5..14
  kKeyLetterA = 15  // "A".."Z", either case, are 15..40
};

enum class KeyAction
{
  kIgnore,  // not exactly one character: neither handled nor passed on
  kPassOn,  // a key the editor has no number for: the next responder gets it
  kDeliver  // hand `key` to the graphics host
};

struct KeyTranslation
{
  KeyAction action;
  int key;  // valid for kDeliver
};

// `chars` are the event's characters ignoring modifiers, as UTF-16 units.
KeyTranslation TranslateKeyDown(unsigned short keyCode, std::u16string_view chars) noexcept;

// Scroll distance handed to OnMouseWheel: the vertical delta truncated toward zero.
int WheelSteps(double deltaY) noexcept;
}  // namespace cocoa_view
