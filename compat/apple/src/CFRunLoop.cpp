// Run loop references: listeners here deliver on the notifying thread, so a run loop is only a token.
#include "CFObject.h"

namespace
{
char gCurrentLoop;
char gMainLoop;
}  // namespace

extern "C"
{

  const CFStringRef kCFRunLoopDefaultMode = __CFStringMakeConstantString("kCFRunLoopDefaultMode");
  const CFStringRef kCFRunLoopCommonModes = __CFStringMakeConstantString("kCFRunLoopCommonModes");

  CFRunLoopRef CFRunLoopGetCurrent(void) { return reinterpret_cast<CFRunLoopRef>(&gCurrentLoop); }
  CFRunLoopRef CFRunLoopGetMain(void) { return reinterpret_cast<CFRunLoopRef>(&gMainLoop); }

}  // extern "C"
