# The host side of an Audio Unit (tools/auhost/): opening an instance as current and
# older hosts do, and the host calls on it. tesk-render, the validator, the Audio Unit
# tests and the fuzz targets share it; it knows no particular plug-in.
add_library(au_host STATIC tools/auhost/AudioUnitHost.cpp)
target_include_directories(au_host PUBLIC ${CMAKE_SOURCE_DIR}/tools/auhost)
if(APPLE)
  target_link_libraries(au_host PUBLIC "-framework AudioToolbox" "-framework AudioUnit" "-framework CoreFoundation"
                                       "-framework CoreServices")
  target_compile_options(au_host PUBLIC -Wno-multichar)
else()
  target_link_libraries(au_host PUBLIC apple)
endif()
