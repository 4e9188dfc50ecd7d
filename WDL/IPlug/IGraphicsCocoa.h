// The Cocoa classes of the Mac editor: the view that hosts the editor, the pop-up menu
// built from an IPopupMenu with the view that receives its choice, the formatter that
// filters what can be typed into a value field, and the borderless child window used over
// a host's window. Objective-C++ only. The names written here are renamed per build
// (IPlugObjCNames.h) so that two plug-ins built from this code can live in one host process;
// each keeps the _vtest_au suffix.
// Main (user-interface) thread: Cocoa delivers events, timers and menus there.
#pragma once

#import <Cocoa/Cocoa.h>

#include "IPlugObjCNames.h"

class IGraphics;
class IControl;
class IParam;
class IPopupMenu;
struct IText;
namespace cocoa_view
{
struct FormatterLimits;
}

// The editor view: redraw timer, paint, mouse, wheel and keys, the value field and the
// pop-up menu. Created by IGraphicsMac; mGraphics is null once the view is detached, and
// every event is then ignored.
@interface IGraphicsCocoa_vtest_au : NSView <NSTextFieldDelegate> {
  IGraphics* mGraphics;
  NSTimer* mTimer;              // owned by the run loop; nil after killTimer
  NSTextField* mTextFieldView;  // the open value field, retained; nil when none
  IControl* mEdControl;         // control that opened the field
  IParam* mEdParam;             // parameter being edited; null for free text
  int mPrevX, mPrevY;           // last mouse position in editor pixels, for keys
}
- (id)initWithIGraphics:(IGraphics*)pGraphics;
- (BOOL)isOpaque;
- (BOOL)acceptsFirstResponder;
- (BOOL)acceptsFirstMouse:(NSEvent*)pEvent;
// Leaving a window stops the timer; entering one starts it again while attached.
- (void)viewDidMoveToWindow;
- (void)viewDidChangeBackingProperties;
- (void)drawRect:(NSRect)rect;
- (void)onTimer:(NSTimer*)pTimer;
- (void)startTimer;
- (void)killTimer;
// Detaches the view from its graphics host (used by IGraphicsMac when it lets go).
- (void)detachGraphics;
- (BOOL)isAttachedTo:(IGraphics*)pGraphics;
- (void)getMouseXY:(NSEvent*)pEvent x:(int*)pX y:(int*)pY;
- (void)keyDown:(NSEvent*)pEvent;
- (void)createTextEntry:(IControl*)pControl
                  param:(IParam*)pParam
                   text:(const IText*)pText
                 string:(const char*)str
                   rect:(NSRect)areaRect;
- (void)controlTextDidEndEditing:(NSNotification*)aNotification;
- (void)endUserInput;
// Shows the menu modally; returns the menu (or submenu) holding the chosen item, or null.
- (IPopupMenu*)createIPopupMenu:(IPopupMenu*)pMenu rect:(NSRect)rect;
@end

// An NSMenu mirroring an IPopupMenu (titles with their numbering, submenus, separators,
// indented, checked and disabled items); every item sends OnMenuSelection: to the receiver.
@interface IGraphicsNSMenu_vtest_au : NSMenu {
  IPopupMenu* mIPopupMenu;
}
- (id)initWithIPopupMenuAndReciever:(IPopupMenu*)pMenu receiver:(NSView*)pView;
- (IPopupMenu*)AssociatedIPopupMenu;
@end

// Receives the chosen menu item.
@interface IGraphicsMenuRcvr_vtest_au : NSView {
  NSMenuItem* nsMenuItem;
}
- (void)OnMenuSelection:(id)sender;
- (NSMenuItem*)MenuItem;
@end

// Refuses edits of the value field that a parameter cannot take: characters outside the
// acceptable set, text longer than the maximum length, an integer above the maximum value.
@interface CocoaFormatter_vtest_au : NSFormatter {
  cocoa_view::FormatterLimits* mLimits;
}
- (void)setAcceptableCharacters:(NSString*)characters;
- (void)setMaximumLength:(int)len;
- (void)setMaximumValue:(int)value;
@end

// A borderless window that can still take the keyboard (the editor's value field needs it).
@interface CustomCocoaWindow_vtest_au : NSWindow
- (BOOL)canBecomeKeyWindow;
@end
