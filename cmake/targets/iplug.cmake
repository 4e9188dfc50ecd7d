# Host-neutral plug-in framework: parameters, plug-in base, state, presets, preset files.
add_library(iplug STATIC
  WDL/IPlug/Hosts.cpp
  WDL/IPlug/IParam.cpp
  WDL/IPlug/IPlugBase.cpp
  WDL/IPlug/IPlugBaseBuffers.cpp
  WDL/IPlug/IPlugBaseGraphics.cpp
  WDL/IPlug/IPlugBasePresets.cpp
  WDL/IPlug/IPlugPresetFiles.cpp
  WDL/IPlug/IPlugStructs.cpp
  WDL/IPlug/IPlugUtilities.cpp
  WDL/IPlug/Log.cpp
)
target_include_directories(iplug PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(iplug PUBLIC wdl)

# The base's calls into the editor live in IPlugBaseGraphics.cpp. `graphics` is defined
# in graphics.cmake, included after this file; the two static libraries depend on each
# other and CMake repeats them on the link line.
target_sources(iplug PRIVATE WDL/IPlug/IPlugBaseGraphics.cpp)
target_link_libraries(iplug PUBLIC graphics)
