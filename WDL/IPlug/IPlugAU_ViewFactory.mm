// The Audio Unit's Cocoa view factory: the class a host instantiates (named by the Cocoa UI
// property) to get the editor's view. Its name is this build's own, IPLUG_AU_VIEW_CLASS
// (IPlugObjCNames.h), with the description IPLUG_AU_VIEW_DESCRIPTION given at build time:
// two plug-ins built from this code must not share a class name in one host process.
// Main (user-interface) thread: hosts ask for views there.

#import <AudioUnit/AUCocoaUIView.h>
#import <Cocoa/Cocoa.h>

#include "CocoaBridge.h"
#include "IPlugAU.h"
#include "IPlugAU_ViewFactoryLogic.h"
#include "IPlugObjCNames.h"

#if !defined(IPLUG_AU_VIEW_DESCRIPTION)
#error "IPLUG_AU_VIEW_DESCRIPTION describes the plug-in's view factory"
#endif

@interface IPLUG_AU_VIEW_CLASS : NSObject <AUCocoaUIBase> {
  IPlugAU* mPlug;  // the plug-in behind the last Audio Unit asked about; not owned
}
- (id)init;
- (NSView*)uiViewForAudioUnit:(AudioUnit)audioUnit withSize:(NSSize)preferredSize;
- (unsigned)interfaceVersion;
- (NSString*)description;
@end

@implementation IPLUG_AU_VIEW_CLASS

- (id)init
{
  self = [super init];
  if (self) mPlug = nullptr;
  return self;
}

// The editor keeps its own size, whatever size the host prefers.
- (NSView*)uiViewForAudioUnit:(AudioUnit)audioUnit withSize:(NSSize)preferredSize
{
  (void)preferredSize;
  mPlug = mac_services::PlugOfAudioUnit(audioUnit);
  return (NSView*)mac_services::EditorViewForPlug(mPlug);
}

- (unsigned)interfaceVersion
{
  return mac_services::kCocoaViewInterfaceVersion;
}

- (NSString*)description
{
  return cocoa_bridge::ToNSString(IPLUG_AU_VIEW_DESCRIPTION);
}

@end
