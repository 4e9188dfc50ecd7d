# Host-neutral plug-in framework: parameters, plug-in base, state, presets, preset files.
# It reaches an editor only through IPlugEditorHooks, so it links no graphics: a processor
# that shows no editor (the LV2 plug-in's library) carries none of it.
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
