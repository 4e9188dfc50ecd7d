// Test-only: the few Apple declarations the editor's Objective-C++ glue uses that GNUstep's
// Foundation and AppKit lack (CoreGraphics calls, the alert of CoreFoundation, the Audio Unit
// Cocoa view protocol, NSApplicationLoad), with Apple's published names and signatures. It
// lets tests/mac compile the glue in syntax-only mode on Linux; nothing here is linked.
// CoreFoundation, Component Manager and Audio Unit types come from compat/apple.
#ifndef TESK_TESTS_APPLE_GLUE_SHIM_H
#define TESK_TESTS_APPLE_GLUE_SHIM_H

#import <Cocoa/Cocoa.h>

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <cstddef>
#include <cstdint>

// ---- AppKit ----
extern "C" BOOL NSApplicationLoad(void);
// Sent to a view when its window's backing scale factor or colour space changes.
@interface NSView (BackingProperties)
- (void)viewDidChangeBackingProperties;
@end

// ---- CoreGraphics (on 64-bit systems NSRect is CGRect) ----
typedef NSRect CGRect;
typedef NSPoint CGPoint;
typedef NSSize CGSize;
typedef struct CGContext* CGContextRef;
typedef struct CGImage* CGImageRef;
typedef struct CGColorSpace* CGColorSpaceRef;
typedef uint32_t CGDirectDisplayID;
enum CGError : int32_t
{
  kCGErrorSuccess = 0,
  kCGErrorFailure = 1000
};
enum CGImageAlphaInfo : uint32_t
{
  kCGImageAlphaNone = 0,
  kCGImageAlphaPremultipliedLast = 1,
  kCGImageAlphaPremultipliedFirst = 2,
  kCGImageAlphaLast = 3,
  kCGImageAlphaFirst = 4,
  kCGImageAlphaNoneSkipLast = 5,
  kCGImageAlphaNoneSkipFirst = 6,
  kCGImageAlphaOnly = 7
};
enum CGInterpolationQuality : int32_t
{
  kCGInterpolationDefault = 0,
  kCGInterpolationNone = 1,
  kCGInterpolationLow = 2,
  kCGInterpolationMedium = 4,
  kCGInterpolationHigh = 3
};
typedef uint32_t CGBitmapInfo;
enum : uint32_t
{
  kCGBitmapAlphaInfoMask = 0x1F,
  kCGBitmapByteOrder32Little = (2 << 12),
  kCGBitmapByteOrder32Big = (4 << 12)
};

extern "C"
{
  CGColorSpaceRef CGColorSpaceCreateDeviceRGB(void);
  void CGColorSpaceRelease(CGColorSpaceRef space);
  CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                     size_t bytesPerRow, CGColorSpaceRef space, uint32_t bitmapInfo);
  CGImageRef CGBitmapContextCreateImage(CGContextRef context);
  void CGContextRelease(CGContextRef c);
  void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);
  void CGContextSaveGState(CGContextRef c);
  void CGContextRestoreGState(CGContextRef c);
  void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality quality);
  void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);
  void CGImageRelease(CGImageRef image);
  CGDirectDisplayID CGMainDisplayID(void);
  CGError CGDisplayHideCursor(CGDirectDisplayID display);
  CGError CGDisplayShowCursor(CGDirectDisplayID display);
  CGError CGDisplayMoveCursorToPoint(CGDirectDisplayID display, CGPoint point);
  size_t CGDisplayPixelsHigh(CGDirectDisplayID display);
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat w, CGFloat h) { return NSMakeRect(x, y, w, h); }
inline CGPoint CGPointMake(CGFloat x, CGFloat y) { return NSMakePoint(x, y); }

// ---- CoreFoundation's alert ----
typedef double CFTimeInterval;
enum : CFOptionFlags
{
  kCFUserNotificationStopAlertLevel = 0,
  kCFUserNotificationNoteAlertLevel = 1,
  kCFUserNotificationCautionAlertLevel = 2,
  kCFUserNotificationPlainAlertLevel = 3
};
enum : CFOptionFlags
{
  kCFUserNotificationDefaultResponse = 0,
  kCFUserNotificationAlternateResponse = 1,
  kCFUserNotificationOtherResponse = 2,
  kCFUserNotificationCancelResponse = 3
};
extern "C" SInt32 CFUserNotificationDisplayAlert(CFTimeInterval timeout, CFOptionFlags flags, CFURLRef iconURL,
                                                 CFURLRef soundURL, CFURLRef localizationURL, CFStringRef alertHeader,
                                                 CFStringRef alertMessage, CFStringRef defaultButtonTitle,
                                                 CFStringRef alternateButtonTitle, CFStringRef otherButtonTitle,
                                                 CFOptionFlags* responseFlags);

// ---- The Audio Unit Cocoa view protocol ----
@protocol AUCocoaUIBase
- (unsigned)interfaceVersion;
- (NSView*)uiViewForAudioUnit:(AudioUnit)inAudioUnit withSize:(NSSize)inPreferredSize;
@end

#endif
