// The Mac graphics host: the editor view's life, the screen copy, images from the bundle,
// dialogs, folders, URLs and the cursor. Decisions come from MacServicesLogic and
// CocoaEventLogic; this file only carries them to AppKit and CoreGraphics.

#include "IGraphicsMac.h"

#import "IGraphicsCocoa.h"

#include <CoreFoundation/CFUserNotification.h>
#include <CoreGraphics/CoreGraphics.h>

#include <cstdlib>
#include <initializer_list>

#include "CocoaBridge.h"
#include "CocoaEventLogic.h"
#include "IPlugAU_ViewFactoryLogic.h"
#include "MacServicesLogic.h"
#include "lice.h"

using cocoa_bridge::ToNSRect;
using cocoa_bridge::ToNSString;

namespace
{
IGraphicsCocoa_vtest_au* View(void* p) { return (IGraphicsCocoa_vtest_au*)p; }
NSWindow* Window(void* p) { return (NSWindow*)p; }

// A CoreFoundation string for an alert (null for no text); the caller releases it.
CFStringRef AlertString(const char* utf8)
{
  return utf8 ? CFStringCreateWithCString(kCFAllocatorDefault, utf8, kCFStringEncodingUTF8) : nullptr;
}

void ReleaseIfSet(CFStringRef s)
{
  if (s) CFRelease(s);
}

NSBundle* BundleWithID(const char* bundleID) { return [NSBundle bundleWithIdentifier:ToNSString(bundleID)]; }
}  // namespace

@implementation CustomCocoaWindow_vtest_au
- (BOOL)canBecomeKeyWindow
{
  return YES;
}
@end

// ==== Construction and windows ====

IGraphicsMac::IGraphicsMac(IPlugBase* pPlug, int w, int h, int refreshFPS)
  : IGraphics(pPlug, w, h, refreshFPS)
{
  NSApplicationLoad();
}

IGraphicsMac::~IGraphicsMac()
{
  DetachView(true);
  // The host's own window is the host's to close.
  TakeDownChildWindow(false);
}

void IGraphicsMac::DetachView(bool removeFromWindow)
{
  if (!mView) return;
  IGraphicsCocoa_vtest_au* pView = View(mView);
  mView = nullptr;
  [pView killTimer];
  if ([pView isAttachedTo:this])
  {
    [pView detachGraphics];
    if (removeFromWindow) [pView removeFromSuperview];
  }
  [pView release];
}

void* IGraphicsMac::OpenWindow(void* pParentView)
{
  // The view's events and timer come on this (the main) thread: the editor thread from now on.
  ClaimEditorThread();
  // A host that asks again (a second window, a view rebuilt) gets a new view; the earlier one
  // stays where the host put it.
  DetachView(false);
  IGraphicsCocoa_vtest_au* pView = [[IGraphicsCocoa_vtest_au alloc] initWithIGraphics:this];
  mView = pView;
  if (pParentView) [(NSView*)pParentView addSubview:pView];
  return mView;
}

void* IGraphicsMac::OpenCocoaWindow(void* pParentView) { return OpenWindow(pParentView); }

void* IGraphicsMac::OpenWindow(void* pWindow, void*, short, short)
{
  if (!pWindow) return nullptr;
  AttachSubWindow(pWindow);
  return GetWindow();
}

void IGraphicsMac::CloseWindow()
{
  DetachView(true);
  TakeDownChildWindow(false);
}

void IGraphicsMac::Resize(int w, int h)
{
  if (w == Width() && h == Height()) return;
  IGraphics::Resize(w, h);
  if (mView) [View(mView) setFrameSize:NSMakeSize(w, h)];
}

void IGraphicsMac::AttachSubWindow(void* hostWindowRef)
{
  if (!hostWindowRef) return;
  NSAutoreleasePool* pPool = [[NSAutoreleasePool alloc] init];
  CloseWindow();

  NSWindow* pHost = [[NSWindow alloc] initWithWindowRef:hostWindowRef];
  if (pHost)
  {
    [pHost setCanHide:YES];
    [pHost setReleasedWhenClosed:NO];
    const NSRect hostFrame = [pHost frame];
    const int xOffset = mac_services::ChildWindowXOffset(hostFrame.size.width, Width());
    const NSRect content = NSMakeRect(hostFrame.origin.x + xOffset, hostFrame.origin.y, Width(), Height());
    CustomCocoaWindow_vtest_au* pChild = [[CustomCocoaWindow_vtest_au alloc] initWithContentRect:content
                                                                                       styleMask:NSBorderlessWindowMask
                                                                                         backing:NSBackingStoreBuffered
                                                                                           defer:NO];
    [pChild setOpaque:YES];
    [pChild setCanHide:YES];
    [pChild setHasShadow:NO];
    [pChild setReleasedWhenClosed:NO];
    OpenWindow([pChild contentView]);
    [pHost addChildWindow:pChild ordered:NSWindowAbove];
    [pHost orderFront:nil];
    [pHost display];
    [pChild performSelector:@selector(orderFront:) withObject:nil afterDelay:0.05];
    mHostWindow = pHost;
    mChildWindow = pChild;
  }
  [pPool release];
}

void IGraphicsMac::RemoveSubWindow()
{
  NSAutoreleasePool* pPool = [[NSAutoreleasePool alloc] init];
  DetachView(true);
  TakeDownChildWindow(true);
  [pPool release];
}

void IGraphicsMac::TakeDownChildWindow(bool closeHostWindow)
{
  NSWindow* pHost = Window(mHostWindow);
  NSWindow* pChild = Window(mChildWindow);
  mHostWindow = mChildWindow = nullptr;
  if (pChild)
  {
    // A delayed bring-to-front would open the closed window again.
    [NSObject cancelPreviousPerformRequestsWithTarget:pChild selector:@selector(orderFront:) object:nil];
    [pHost removeChildWindow:pChild];
    [pChild orderOut:nil];
    [pChild close];
    [pChild release];
  }
  if (pHost)
  {
    if (closeHostWindow)
    {
      [pHost orderOut:nil];
      [pHost close];
    }
    [pHost release];
  }
}

// ==== Screen and text ====

bool IGraphicsMac::DrawScreen(IRECT*)
{
  if (!mView || !mDrawBitmap) return false;
  CGContextRef pDest = (CGContextRef)[[NSGraphicsContext currentContext] CGContext];
  if (!pDest) return false;

  // The surface's pixels read A, R, G, B in memory: big-endian words with the (ignored)
  // alpha first. The whole surface is copied each time; CoreGraphics clips to the update.
  const int w = mDrawBitmap->getWidth(), h = mDrawBitmap->getHeight();
  CGColorSpaceRef pSpace = CGColorSpaceCreateDeviceRGB();
  CGContextRef pSurface =
    CGBitmapContextCreate(mDrawBitmap->getBits(), w, h, 8, static_cast<size_t>(mDrawBitmap->getRowSpan()) * 4, pSpace,
                          static_cast<CGBitmapInfo>(kCGImageAlphaNoneSkipFirst) | kCGBitmapByteOrder32Big);
  CGColorSpaceRelease(pSpace);
  if (!pSurface) return false;
  CGImageRef pImage = CGBitmapContextCreateImage(pSurface);
  CGContextRelease(pSurface);
  if (!pImage) return false;
  // On a high-density screen the view's backing has the window's scale factor (2 on a Retina
  // screen): each surface pixel covers that many device pixels a side, copied as it is, crisp,
  // as the X11 window's 2x does. Smoothing would blur the editor's edges and text.
  CGContextSaveGState(pDest);
  CGContextSetInterpolationQuality(pDest, kCGInterpolationNone);
  CGContextSetShouldAntialias(pDest, false);
  CGContextDrawImage(pDest, CGRectMake(0, 0, w, h), pImage);
  CGContextRestoreGState(pDest);
  CGImageRelease(pImage);
  return true;
}

bool IGraphicsMac::MeasureIText(IText* pTxt, const char* str, IRECT* pR)
{
  NSAutoreleasePool* pPool = [[NSAutoreleasePool alloc] init];
  const bool result = DrawIText(pTxt, str, pR, true);
  [pPool release];
  return result;
}

void IGraphicsMac::ForceEndUserEdit()
{
  if (mView) [View(mView) endUserInput];
}

// ==== Prompts and dialogs ====

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect)
{
  ReleaseMouseCapture();
  if (!mView || !pMenu || !pTextRect) return nullptr;
  const NSRect r = ToNSRect(cocoa_view::EditorRectToCocoa(*pTextRect, Height()));
  return [View(mView) createIPopupMenu:pMenu rect:r];
}

void IGraphicsMac::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str, IParam* pParam)
{
  if (!mView || !pTextRect) return;
  const NSRect r = ToNSRect(cocoa_view::EditorRectToCocoa(*pTextRect, Height()));
  [View(mView) createTextEntry:pControl param:pParam text:pText string:str rect:r];
}

int IGraphicsMac::ShowMessageBox(const char* text, const char* caption, int type)
{
  const mac_services::MessageBoxButtons buttons = mac_services::MessageBoxButtonsFor(type);
  CFStringRef header = AlertString(caption ? caption : ""), message = AlertString(text ? text : "");
  CFStringRef defaultTitle = AlertString(buttons.defaultButton);
  CFStringRef alternateTitle = AlertString(buttons.alternateButton), otherTitle = AlertString(buttons.otherButton);

  CFOptionFlags response = kCFUserNotificationCancelResponse;
  const SInt32 err =
    CFUserNotificationDisplayAlert(0, kCFUserNotificationNoteAlertLevel, nullptr, nullptr, nullptr, header, message,
                                   defaultTitle, alternateTitle, otherTitle, &response);
  for (CFStringRef s : {header, message, defaultTitle, alternateTitle, otherTitle}) ReleaseIfSet(s);

  const auto answer =
    err != 0 ? mac_services::AlertResponse::kFailed : static_cast<mac_services::AlertResponse>(response & 3);
  return mac_services::MessageBoxResult(type, answer);
}

void IGraphicsMac::PromptForFile(WDL_String* pFilename, EFileAction action, WDL_String* pDir, const char* extensions)
{
  const auto plan = mac_services::PlanFileDialog(pFilename, action, pDir, extensions, WindowIsOpen());
  if (!plan) return;

  NSMutableArray* pTypes = nil;
  if (!plan->types.empty())
  {
    pTypes = [NSMutableArray arrayWithCapacity:plan->types.size()];
    for (const std::string& t : plan->types) [pTypes addObject:ToNSString(t)];
  }
  NSSavePanel* pPanel = nil;
  if (plan->save)
  {
    pPanel = [NSSavePanel savePanel];
    [pPanel setAllowedFileTypes:pTypes];
    [pPanel setAllowsOtherFileTypes:NO];
  }
  else
  {
    NSOpenPanel* pOpen = [NSOpenPanel openPanel];
    [pOpen setCanChooseFiles:YES];
    [pOpen setCanChooseDirectories:NO];
    [pOpen setResolvesAliases:YES];
    [pOpen setAllowedFileTypes:pTypes];
    pPanel = pOpen;
  }
  NSString* pFolder = [ToNSString(plan->folder) stringByExpandingTildeInPath];
  [pPanel setDirectoryURL:[NSURL fileURLWithPath:pFolder isDirectory:YES]];
  [pPanel setNameFieldStringValue:ToNSString(plan->fileName)];
  if ([pPanel runModal] != NSModalResponseOK) return;

  const std::string chosen = cocoa_bridge::ToUTF8([[pPanel URL] path]);
  if (!chosen.empty()) mac_services::RecordFileChoice(chosen.c_str(), pFilename, pDir);
}

bool IGraphicsMac::PromptForColor(IColor*, const char*) { return false; }

bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*)
{
  NSURL* pURL = nil;
  switch (mac_services::KindOfURL(url))
  {
    case mac_services::URLKind::kWeb: pURL = [NSURL URLWithString:ToNSString(url)]; break;
    case mac_services::URLKind::kFile: pURL = [NSURL fileURLWithPath:ToNSString(url)]; break;
    case mac_services::URLKind::kNone: break;
  }
  return pURL && [[NSWorkspace sharedWorkspace] openURL:pURL];
}

// ==== Folders ====

void IGraphicsMac::HostPath(WDL_String* pPath)
{
  NSBundle* pBundle = BundleWithID(mBundleID.Get());
  const std::string path = cocoa_bridge::ToUTF8([pBundle executablePath]);
  if (pPath && !path.empty()) pPath->Set(path.c_str());
}

void IGraphicsMac::PluginPath(WDL_String* pPath)
{
  NSBundle* pBundle = BundleWithID(mBundleID.Get());
  const std::string bundlePath = cocoa_bridge::ToUTF8([pBundle bundlePath]);
  if (pPath && !bundlePath.empty()) pPath->Set(mac_services::ParentFolder(bundlePath.c_str()).c_str());
}

void IGraphicsMac::DesktopPath(WDL_String* pPath)
{
  if (!pPath) return;
  const char* home = std::getenv("HOME");
  const std::string fallback = home ? std::string() : cocoa_bridge::ToUTF8(NSHomeDirectory());
  pPath->Set(mac_services::DesktopFolder(home ? home : fallback.c_str()).c_str());
}

int IGraphicsMac::GetUserOSVersion() { return mac_services::UserOSVersion(); }

// ==== Cursor ====

void IGraphicsMac::HideMouseCursor()
{
  if (mCursorHidden) return;
  const CGDirectDisplayID display = CGMainDisplayID();
  if (CGDisplayHideCursor(display) == kCGErrorSuccess) mCursorHidden = true;
  const NSPoint p = [NSEvent mouseLocation];
  const mac_services::ScreenPoint sp =
    mac_services::TopDownCursorPoint(p.x, p.y, static_cast<double>(CGDisplayPixelsHigh(display)));
  mHiddenMousePointX = sp.x;
  mHiddenMousePointY = sp.y;
}

void IGraphicsMac::ShowMouseCursor()
{
  if (!mCursorHidden) return;
  const CGDirectDisplayID display = CGMainDisplayID();
  CGDisplayMoveCursorToPoint(display, CGPointMake(mHiddenMousePointX, mHiddenMousePointY));
  if (CGDisplayShowCursor(display) == kCGErrorSuccess) mCursorHidden = false;
}

// ==== Images ====

LICE_IBitmap* IGraphicsMac::OSLoadBitmap(int, const char* name)
{
  return LoadImgFromResourceOSX(mBundleID.Get(), name);
}

LICE_IBitmap* IGraphicsMac::LoadImgFromResourceOSX(const char* bundleID, const char* fileName)
{
  const auto name = mac_services::ImageResourceName(fileName);
  if (!name) return nullptr;
  NSAutoreleasePool* pPool = [[NSAutoreleasePool alloc] init];
  LICE_IBitmap* pBitmap = nullptr;
  NSBundle* pBundle = BundleWithID(bundleID);
  NSString* pPath = [pBundle pathForResource:ToNSString(*name) ofType:@"png"];
  if (pPath && [pPath length] > 0) pBitmap = LICE_LoadPNG([pPath fileSystemRepresentation], nullptr);
  [pPool release];
  return pBitmap;
}
