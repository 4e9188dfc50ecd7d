#pragma once
// The names of the Objective-C classes the Audio Unit's Cocoa code defines, made per build
// from one tag, IPLUG_OBJC_TAG (the build sets it, e.g. Tesk_1_0_0). Objective-C classes
// share one namespace in a process: two plug-ins built from this code, or two versions of
// one, must not define the same class. The sources keep writing the plain names; these
// macros rename them:
//   IGraphicsCocoa_vtest_au  ->  IGraphicsCocoa_<tag>_vtest_au   (and the other editor classes)
//   IPLUG_AU_VIEW_CLASS      ->  <tag>_View                       (the view factory)
// Plain preprocessor: C++ code reads the view factory's name from IPLUG_AU_VIEW_CLASS_NAME.

#ifndef IPLUG_OBJC_TAG
#error "IPLUG_OBJC_TAG names this build's Objective-C classes (the build system sets it)"
#endif

#define IPLUG_OBJC_JOIN3_(a, b, c) a##b##c
#define IPLUG_OBJC_JOIN3(a, b, c) IPLUG_OBJC_JOIN3_(a, b, c)
#define IPLUG_OBJC_TEXT_(x) #x
#define IPLUG_OBJC_TEXT(x) IPLUG_OBJC_TEXT_(x)

#define IPLUG_AU_VIEW_CLASS IPLUG_OBJC_JOIN3(IPLUG_OBJC_TAG, _, View)
#define IPLUG_AU_VIEW_CLASS_NAME IPLUG_OBJC_TEXT(IPLUG_AU_VIEW_CLASS)

#define IGraphicsCocoa_vtest_au IPLUG_OBJC_JOIN3(IGraphicsCocoa_, IPLUG_OBJC_TAG, _vtest_au)
#define IGraphicsNSMenu_vtest_au IPLUG_OBJC_JOIN3(IGraphicsNSMenu_, IPLUG_OBJC_TAG, _vtest_au)
#define IGraphicsMenuRcvr_vtest_au IPLUG_OBJC_JOIN3(IGraphicsMenuRcvr_, IPLUG_OBJC_TAG, _vtest_au)
#define CocoaFormatter_vtest_au IPLUG_OBJC_JOIN3(CocoaFormatter_, IPLUG_OBJC_TAG, _vtest_au)
#define CustomCocoaWindow_vtest_au IPLUG_OBJC_JOIN3(CustomCocoaWindow_, IPLUG_OBJC_TAG, _vtest_au)
