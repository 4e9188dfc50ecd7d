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
target_link_libraries(au PUBLIC iplug graphics)
if(APPLE)
  target_link_libraries(au PUBLIC "-framework AudioUnit" "-framework AudioToolbox" "-framework CoreAudio"
                                  "-framework CoreFoundation" "-framework CoreServices" "-framework Carbon")
  target_compile_options(au PUBLIC -Wno-multichar)
else()
  target_link_libraries(au PUBLIC apple)
endif()
