#include "CocoaEventLogic.h"

#include <cmath>
#include <limits>

namespace cocoa_view
{
namespace
{
// int() of a coordinate, kept inside int's range so a wild value cannot overflow.
int Truncate(double v) noexcept
{
  if (!(v == v)) return 0;  // NaN
  constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}
}  // namespace

EditorPoint CocoaPointToEditor(double px, double py, int editorHeight) noexcept
{
  return {Truncate(px) - 2, editorHeight - Truncate(py) - 3};
}

CocoaRect EditorRectToCocoa(const IRECT& r, int editorHeight) noexcept
{
  return {static_cast<double>(r.L), static_cast<double>(editorHeight - 1 - r.B), static_cast<double>(r.R - r.L + 1),
          static_cast<double>(r.B - r.T + 1)};
}

IRECT CocoaRectToEditor(const CocoaRect& r, int editorHeight) noexcept
{
  const int x = Truncate(r.x), y = Truncate(r.y), w = Truncate(r.w), h = Truncate(r.h);
  return IRECT(x, editorHeight - (y + h), x + w, editorHeight - y);
}

IMouseMod MouseModFromFlags(unsigned long modifierFlags, MouseButton button) noexcept
{
  const bool left = button == MouseButton::kLeft;
  return IMouseMod(left, left ? (modifierFlags & kCommandFlag) != 0 : true, (modifierFlags & kShiftFlag) != 0,
                   (modifierFlags & kControlFlag) != 0, (modifierFlags & kOptionFlag) != 0);
}

KeyTranslation TranslateKeyDown(unsigned short keyCode, std::u16string_view chars) noexcept
{
  if (chars.size() != 1) return {KeyAction::kIgnore, 0};
  switch (keyCode)
  {
    case kKeyCodeSpace: return {KeyAction::kDeliver, kKeySpace};
    case kKeyCodeUp: return {KeyAction::kDeliver, kKeyUp};
    case kKeyCodeDown: return {KeyAction::kDeliver, kKeyDown};
    case kKeyCodeLeft: return {KeyAction::kDeliver, kKeyLeft};
    case kKeyCodeRight: return {KeyAction::kDeliver, kKeyRight};
    default: break;
  }
  const char16_t c = chars[0];
  if (c >= u'0' && c <= u'9') return {KeyAction::kDeliver, kKeyDigit0 + (c - u'0')};
  if (c >= u'A' && c <= u'Z') return {KeyAction::kDeliver, kKeyLetterA + (c - u'A')};
  if (c >= u'a' && c <= u'z') return {KeyAction::kDeliver, kKeyLetterA + (c - u'a')};
  return {KeyAction::kPassOn, 0};
}

int WheelSteps(double deltaY) noexcept { return Truncate(deltaY); }
}  // namespace cocoa_view
