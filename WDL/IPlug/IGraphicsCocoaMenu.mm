// The editor's pop-up menu in Cocoa: an NSMenu mirroring an IPopupMenu, and the view that
// receives the chosen item. Titles and item looks come from CocoaPromptLogic.

#import "IGraphicsCocoa.h"

#include "CocoaBridge.h"
#include "CocoaPromptLogic.h"
#include "IPopupMenu.h"

@implementation IGraphicsNSMenu_vtest_au

- (id)initWithIPopupMenuAndReciever:(IPopupMenu*)pMenu receiver:(NSView*)pView
{
  self = [super initWithTitle:@""];
  if (!self) return nil;
  [self setAutoenablesItems:NO];
  mIPopupMenu = pMenu;
  const int n = pMenu ? pMenu->GetNItems() : 0;
  for (int i = 0; i < n; ++i)
  {
    const IPopupMenuItem* pItem = pMenu->GetItem(i);
    NSString* title = cocoa_bridge::ToNSString(cocoa_view::MenuItemTitle(pItem->GetText(), i, pMenu->GetPrefix()));
    const cocoa_view::MenuItemLook look =
      cocoa_view::MenuItemLookFor(pItem->GetFlags(), pItem->GetSubmenu() != nullptr);
    switch (look.kind)
    {
      case cocoa_view::MenuItemKind::kSubmenu:
      {
        NSMenuItem* pNSItem = (NSMenuItem*)[self addItemWithTitle:title action:nullptr keyEquivalent:@""];
        IGraphicsNSMenu_vtest_au* pSub =
          [[IGraphicsNSMenu_vtest_au alloc] initWithIPopupMenuAndReciever:pItem->GetSubmenu() receiver:pView];
        [self setSubmenu:pSub forItem:pNSItem];
        [pSub release];  // the menu keeps it
        break;
      }
      case cocoa_view::MenuItemKind::kSeparator: [self addItem:[NSMenuItem separatorItem]]; break;
      case cocoa_view::MenuItemKind::kAction:
      {
        NSMenuItem* pNSItem = (NSMenuItem*)[self addItemWithTitle:title
                                                           action:@selector(OnMenuSelection:)
                                                    keyEquivalent:@""];
        [pNSItem setTarget:pView];
        [pNSItem setIndentationLevel:look.indentation];
        [pNSItem setState:look.checked ? NSControlStateValueOn : NSControlStateValueOff];
        [pNSItem setEnabled:look.enabled ? YES : NO];
        break;
      }
    }
  }
  return self;
}

- (IPopupMenu*)AssociatedIPopupMenu
{
  return mIPopupMenu;
}

@end

@implementation IGraphicsMenuRcvr_vtest_au

- (void)OnMenuSelection:(id)sender
{
  // The item belongs to the menu, which outlives the modal loop that reads it.
  nsMenuItem = (NSMenuItem*)sender;
}

- (NSMenuItem*)MenuItem
{
  return nsMenuItem;
}

@end
