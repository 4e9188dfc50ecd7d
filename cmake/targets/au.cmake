# Audio Unit binding: component entry and dispatch, properties, render path, state
# and factory presets. On Linux it builds against the stand-ins of `apple`; on Apple
# against the platform's frameworks.
add_library(au STATIC
  WDL/IPlug/IPlugAU.cpp
  WDL/IPlug/IPlugAUHostTime.cpp
  WDL/IPlug/IPlugAUParameters.cpp
  WDL/IPlug/IPlugAUProperties.cpp
  WDL/IPlug/IPlugAURender.cpp
  WDL/IPlug/IPlugAUState.cpp
  WDL/IPlug/IPlugAUPlugIn.cpp
  WDL/IPlug/IPlugAUBindingProperties.cpp
  WDL/IPlug/dfx/CFAUPreset.cpp
)
target_include_directories(au PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
# One tag names every Objective-C class the Cocoa code defines (WDL/IPlug/IPlugObjCNames.h):
# classes share one namespace in a host process, which may hold two plug-ins built from this
# code or two versions of Tesk. The view factory is <tag>_View.
set(TESK_OBJC_TAG "Tesk_${PROJECT_VERSION_MAJOR}_${PROJECT_VERSION_MINOR}_${PROJECT_VERSION_PATCH}" CACHE STRING
    "Tag of this build's Objective-C class names (a C identifier)")
if(NOT TESK_OBJC_TAG MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
  message(FATAL_ERROR "TESK_OBJC_TAG '${TESK_OBJC_TAG}' is not a C identifier")
endif()
set(TESK_AU_VIEW_CLASS ${TESK_OBJC_TAG}_View)
target_compile_definitions(au PUBLIC IPLUG_OBJC_TAG=${TESK_OBJC_TAG})
target_link_libraries(au PUBLIC iplug graphics)
if(APPLE)
  target_link_libraries(au PUBLIC "-framework AudioUnit" "-framework AudioToolbox" "-framework CoreAudio"
                                  "-framework CoreFoundation" "-framework CoreServices" "-framework Carbon")
  target_compile_options(au PUBLIC -Wno-multichar)
else()
  target_link_libraries(au PUBLIC apple)
endif()
