# LV2 binding: descriptors, ports, the audio path, state and the UI's access to the
# plug-in. It needs only the LV2 headers (lv2-dev) and links no graphics and no X11: the
# plug-in's library builds no editor (its UI library does). Linux only: the Apple build
# makes the Audio Unit.
if(APPLE)
  return()
endif()
pkg_check_modules(LV2 REQUIRED IMPORTED_TARGET lv2)

add_library(lv2_binding STATIC
  WDL/IPlug/lv2_binding/IPlugLV2.cpp
  WDL/IPlug/lv2_binding/IPlugLV2Editor.cpp
  WDL/IPlug/lv2_binding/IPlugLV2State.cpp
)
# In WDL/IPlug/lv2_binding/. The framework's folder is the include root: code outside
# names the folder ("lv2_binding/IPlugLV2.h"); files inside include each other by name.
target_include_directories(lv2_binding PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(lv2_binding PUBLIC iplug PkgConfig::LV2)
