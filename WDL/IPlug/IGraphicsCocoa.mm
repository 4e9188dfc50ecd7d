// The editor's Cocoa view: redraw timer, paint, mouse, wheel and keys, the value field and
// the pop-up menu. What each event means is decided in CocoaEventLogic/CocoaPromptLogic.

#import "IGraphicsCocoa.h"

#include "CocoaBridge.h"
#include "CocoaEventLogic.h"
#include "CocoaPromptLogic.h"
#include "IControl.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IPopupMenu.h"

using cocoa_bridge::FromNSRect;
using cocoa_bridge::ToNSRect;
using cocoa_bridge::ToNSString;

namespace
{
NSColor* ToNSColor(const IColor& c)
{
  const cocoa_view::ColorComponents cc = cocoa_view::ToColorComponents(c);
  return [NSColor colorWithCalibratedRed:cc.r green:cc.g blue:cc.b alpha:cc.a];
}

NSTextAlignment ToNSAlignment(cocoa_view::TextAlignment a)
{
  switch (a)
  {
    case cocoa_view::TextAlignment::kLeft: return NSTextAlignmentLeft;
    case cocoa_view::TextAlignment::kRight: return NSTextAlignmentRight;
    case cocoa_view::TextAlignment::kCenter:
    default: return NSTextAlignmentCenter;
  }
}
}  // namespace

@implementation IGraphicsCocoa_vtest_au

// ---- View life ----

- (id)init
{
  // Views are made with initWithIGraphics:; a bare one is a detached, empty view.
  return [self initWithIGraphics:nullptr];
}

- (id)initWithIGraphics:(IGraphics*)pGraphics
{
  const NSRect frame = NSMakeRect(0, 0, pGraphics ? pGraphics->Width() : 0, pGraphics ? pGraphics->Height() : 0);
  self = [super initWithFrame:frame];
  if (!self) return nil;
  mGraphics = pGraphics;
  mTimer = nil;
  mTextFieldView = nil;
  mEdControl = nullptr;
  mEdParam = nullptr;
  mPrevX = mPrevY = 0;
  [self startTimer];
  return self;
}

- (void)startTimer
{
  if (mTimer || !mGraphics) return;
  // The run loop keeps the timer (and the timer this view) until killTimer.
  mTimer = [NSTimer timerWithTimeInterval:1.0 / mGraphics->FPS()
                                   target:self
                                 selector:@selector(onTimer:)
                                 userInfo:nil
                                  repeats:YES];
  [[NSRunLoop currentRunLoop] addTimer:mTimer forMode:NSRunLoopCommonModes];
}

- (void)dealloc
{
  [mTextFieldView release];
  [super dealloc];
}

- (BOOL)isOpaque
{
  return mGraphics ? YES : NO;
}

- (BOOL)acceptsFirstResponder
{
  return YES;
}

- (BOOL)acceptsFirstMouse:(NSEvent*)pEvent
{
  (void)pEvent;
  return YES;
}

- (void)viewDidMoveToWindow
{
  NSWindow* pWindow = [self window];
  if (pWindow)
  {
    [pWindow makeFirstResponder:self];
    [pWindow setAcceptsMouseMovedEvents:YES];
    [self startTimer];  // back in a window after leaving one
  }
  else
  {
    // A host that drops its window without removing the view: the timer (which keeps this
    // view alive) stops with it.
    [self killTimer];
  }
}

- (void)viewDidChangeBackingProperties
{
  // Moved to a screen of another density: the whole editor again at the new scale.
  [super viewDidChangeBackingProperties];
  [self setNeedsDisplay:YES];
}

- (void)killTimer
{
  [mTimer invalidate];
  mTimer = nil;
}

- (void)detachGraphics
{
  mGraphics = nullptr;
}

- (BOOL)isAttachedTo:(IGraphics*)pGraphics
{
  return pGraphics && mGraphics == pGraphics;
}

- (void)removeFromSuperview
{
  // Closing the graphics host may release this view; keep it alive until we are done.
  [self retain];
  [self endUserInput];
  if (mGraphics)
  {
    IGraphics* pGraphics = mGraphics;
    mGraphics = nullptr;
    pGraphics->CloseWindow();
  }
  [super removeFromSuperview];
  [self release];
}

// ---- Drawing ----

- (void)onTimer:(NSTimer*)pTimer
{
  if (pTimer != mTimer || !mGraphics) return;
  // Values handed over from other threads first: the main thread is the editor thread.
  mGraphics->OnEditorTimer();
  IRECT r;
  if (mGraphics->IsDirty(&r))
    [self setNeedsDisplayInRect:ToNSRect(cocoa_view::EditorRectToCocoa(r, mGraphics->Height()))];
}

- (void)drawRect:(NSRect)rect
{
  if (!mGraphics) return;
  IRECT r = cocoa_view::CocoaRectToEditor(FromNSRect(rect), mGraphics->Height());
  mGraphics->Draw(&r);
}

// ---- Mouse ----

- (void)getMouseXY:(NSEvent*)pEvent x:(int*)pX y:(int*)pY
{
  const NSPoint p = [self convertPoint:[pEvent locationInWindow] fromView:nil];
  const cocoa_view::EditorPoint e = cocoa_view::CocoaPointToEditor(p.x, p.y, mGraphics ? mGraphics->Height() : 0);
  *pX = mPrevX = e.x;
  *pY = mPrevY = e.y;
}

- (IMouseMod)modOf:(NSEvent*)pEvent button:(cocoa_view::MouseButton)button
{
  return cocoa_view::MouseModFromFlags([pEvent modifierFlags], button);
}

- (void)mouseDown:(NSEvent*)pEvent
{
  if (!mGraphics) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kLeft];
  if ([pEvent clickCount] < 2)
    mGraphics->OnMouseDown(x, y, &mod);
  else
    mGraphics->OnMouseDblClick(x, y, &mod);
}

- (void)mouseUp:(NSEvent*)pEvent
{
  if (!mGraphics) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kLeft];
  mGraphics->OnMouseUp(x, y, &mod);
}

- (void)mouseDragged:(NSEvent*)pEvent
{
  if (!mGraphics || mTextFieldView) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kLeft];
  mGraphics->OnMouseDrag(x, y, &mod);
}

- (void)rightMouseDown:(NSEvent*)pEvent
{
  if (!mGraphics) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kRight];
  mGraphics->OnMouseDown(x, y, &mod);
}

- (void)rightMouseUp:(NSEvent*)pEvent
{
  if (!mGraphics) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kRight];
  mGraphics->OnMouseUp(x, y, &mod);
}

- (void)rightMouseDragged:(NSEvent*)pEvent
{
  if (!mGraphics || mTextFieldView) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kRight];
  mGraphics->OnMouseDrag(x, y, &mod);
}

- (void)mouseMoved:(NSEvent*)pEvent
{
  if (!mGraphics) return;
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kLeft];
  mGraphics->OnMouseOver(x, y, &mod);
}

- (void)scrollWheel:(NSEvent*)pEvent
{
  if (!mGraphics) return;
  if (mTextFieldView) [self endUserInput];
  int x, y;
  [self getMouseXY:pEvent x:&x y:&y];
  IMouseMod mod = [self modOf:pEvent button:cocoa_view::MouseButton::kLeft];
  mGraphics->OnMouseWheel(x, y, &mod, cocoa_view::WheelSteps([pEvent deltaY]));
}

// ---- Keys ----

- (void)keyDown:(NSEvent*)pEvent
{
  const cocoa_view::KeyTranslation t =
    cocoa_view::TranslateKeyDown([pEvent keyCode], cocoa_bridge::ToU16([pEvent charactersIgnoringModifiers]));
  if (t.action == cocoa_view::KeyAction::kIgnore) return;
  // A detached view has no editor to take the key: it goes on like any key the editor refuses.
  const bool handled =
    t.action == cocoa_view::KeyAction::kDeliver && mGraphics && mGraphics->OnKeyDown(mPrevX, mPrevY, t.key);
  if (!handled) [[self nextResponder] keyDown:pEvent];
}

// ---- Value field ----

- (void)createTextEntry:(IControl*)pControl
                  param:(IParam*)pParam
                   text:(const IText*)pText
                 string:(const char*)str
                   rect:(NSRect)areaRect
{
  if (!pControl || mTextFieldView) return;
  const IText style = pText ? *pText : IText();

  mTextFieldView = [[NSTextField alloc] initWithFrame:areaRect];
  const int fontSize = cocoa_view::TextEntryFontSize(style.mSize);
  NSFont* pFont = [NSFont fontWithName:ToNSString(style.mFont) size:fontSize];
  [mTextFieldView setFont:pFont ? pFont : [NSFont systemFontOfSize:fontSize]];
  [mTextFieldView setAlignment:ToNSAlignment(cocoa_view::TextEntryAlignment(style.mAlign))];

  if (pParam)
  {
    CocoaFormatter_vtest_au* pFormatter = [[[CocoaFormatter_vtest_au alloc] init] autorelease];
    [pFormatter setAcceptableCharacters:ToNSString(cocoa_view::AcceptableCharacters(pParam->Type()))];
    [pFormatter setMaximumLength:pControl->GetTextEntryLength()];
    [mTextFieldView setFormatter:pFormatter];
  }
  [[mTextFieldView cell] setLineBreakMode:NSLineBreakByTruncatingTail];
  [mTextFieldView setAllowsEditingTextAttributes:NO];
  [mTextFieldView setFocusRingType:NSFocusRingTypeNone];
  [mTextFieldView setBezeled:NO];
  [mTextFieldView setBordered:NO];
  [mTextFieldView setTextColor:ToNSColor(style.mTextEntryFGColor)];
  [mTextFieldView setBackgroundColor:ToNSColor(style.mTextEntryBGColor)];
  [mTextFieldView setDrawsBackground:YES];
  [mTextFieldView setStringValue:ToNSString(str)];
  [mTextFieldView setDelegate:self];

  [self addSubview:mTextFieldView];
  NSWindow* pWindow = [self window];
  [pWindow makeKeyAndOrderFront:nil];
  [pWindow makeFirstResponder:mTextFieldView];

  mEdParam = pParam;
  mEdControl = pControl;
}

- (void)controlTextDidEndEditing:(NSNotification*)aNotification
{
  (void)aNotification;
  if (!mTextFieldView) return;
  const std::string text = cocoa_bridge::ToUTF8([mTextFieldView stringValue]);
  if (mGraphics && mEdControl)
  {
    if (mEdParam)
      mGraphics->SetFromStringAfterPrompt(mEdControl, mEdParam, text.c_str());
    else
      mEdControl->TextFromTextEntry(text.c_str());
  }
  [self endUserInput];
  [self setNeedsDisplay:YES];
}

- (void)endUserInput
{
  if (mTextFieldView)
  {
    [mTextFieldView setDelegate:nil];
    [mTextFieldView removeFromSuperview];
    [mTextFieldView release];
    mTextFieldView = nil;
    [[self window] makeFirstResponder:self];
  }
  mEdControl = nullptr;
  mEdParam = nullptr;
}

// ---- Pop-up menu ----

- (IPopupMenu*)createIPopupMenu:(IPopupMenu*)pMenu rect:(NSRect)rect
{
  if (!pMenu) return nullptr;
  IGraphicsMenuRcvr_vtest_au* pReceiver = [[[IGraphicsMenuRcvr_vtest_au alloc] initWithFrame:rect] autorelease];
  IGraphicsNSMenu_vtest_au* pNSMenu =
    [[[IGraphicsNSMenu_vtest_au alloc] initWithIPopupMenuAndReciever:pMenu receiver:pReceiver] autorelease];

  // Just below the value's rectangle, in window coordinates.
  const NSPoint location = [self convertPoint:NSMakePoint(rect.origin.x, rect.origin.y - 4) toView:nil];
  NSEvent* pEvent = [NSEvent otherEventWithType:NSApplicationDefined
                                       location:location
                                  modifierFlags:15
                                      timestamp:0
                                   windowNumber:[[self window] windowNumber]
                                        context:nil
                                        subtype:0
                                          data1:0
                                          data2:0];
  // Modal: returns when the menu closes. The items send their action to the receiver; the
  // menu is placed for this view, which (unlike the receiver) sits in a window.
  [NSMenu popUpContextMenu:pNSMenu withEvent:pEvent forView:self];

  NSMenuItem* pChosen = [pReceiver MenuItem];
  NSMenu* pOwner = [pChosen menu];
  if (!pChosen || ![pOwner isKindOfClass:[IGraphicsNSMenu_vtest_au class]]) return nullptr;
  IGraphicsNSMenu_vtest_au* pOwnerMenu = (IGraphicsNSMenu_vtest_au*)pOwner;
  return cocoa_view::RecordMenuChoice([pOwnerMenu AssociatedIPopupMenu], [pOwnerMenu indexOfItem:pChosen]);
}

@end
