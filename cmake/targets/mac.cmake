# Mac editor window binding and the macOS component bundle.
# What the Cocoa view and the Mac services decide is plain C++ (mac_logic), built and tested
# on every platform. The Objective-C++ glue that carries those decisions to AppKit and
# CoreGraphics builds only on Apple; tests/mac compiles it in syntax-only mode elsewhere.
add_library(mac_logic STATIC
  WDL/IPlug/CocoaEventLogic.cpp
  WDL/IPlug/CocoaPromptLogic.cpp
  WDL/IPlug/MacServicesLogic.cpp
)
target_include_directories(mac_logic PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(mac_logic PUBLIC au graphics)

