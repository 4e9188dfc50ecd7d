# Mac editor window binding and the macOS component bundle.
# What the Cocoa view and the Mac services decide is plain C++ (mac_logic), built and tested
# on every platform. The Objective-C++ glue that carries those decisions to AppKit and
# CoreGraphics builds only on Apple; tests/mac compiles it in syntax-only mode elsewhere.
include(${CMAKE_SOURCE_DIR}/cmake/TeskInfoPlist.cmake)

set(TESK_MAC_GLUE_SOURCES
  WDL/IPlug/IGraphicsCocoa.mm
  WDL/IPlug/IGraphicsCocoaMenu.mm
  WDL/IPlug/CocoaFormatter.mm
  WDL/IPlug/IGraphicsMac.mm
)
# The view factory carries the plug-in's own class name, so it is built into the bundle.
set(TESK_MAC_VIEW_FACTORY_SOURCE WDL/IPlug/IPlugAU_ViewFactory.mm)

add_library(mac_logic STATIC
  WDL/IPlug/CocoaEventLogic.cpp
  WDL/IPlug/CocoaPromptLogic.cpp
  WDL/IPlug/MacServicesLogic.cpp
  WDL/IPlug/IPlugAU_ViewFactoryLogic.cpp
)
target_include_directories(mac_logic PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(mac_logic PUBLIC au graphics)

if(NOT APPLE)
  return()
endif()

enable_language(OBJCXX)
set(CMAKE_OBJCXX_STANDARD 20)
# The glue manages its Cocoa objects by hand (retain/release).
set_source_files_properties(${TESK_MAC_GLUE_SOURCES} ${TESK_MAC_VIEW_FACTORY_SOURCE}
                            PROPERTIES COMPILE_OPTIONS "-fno-objc-arc")

add_library(mac_glue STATIC ${TESK_MAC_GLUE_SOURCES})
target_link_libraries(mac_glue PUBLIC mac_logic raster "-framework Cocoa" "-framework CoreGraphics"
                                      "-framework CoreFoundation" "-framework CoreServices")
# The editor's MakeGraphics creates an IGraphicsMac on this platform.
target_link_libraries(tesk_engine PUBLIC mac_glue)
