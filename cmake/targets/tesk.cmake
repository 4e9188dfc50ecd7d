# Plug-in controls
# The plug-in's own editor controls: spectrum and waveform displays, faders, the
# sensitivity knob, switches, value holders and the version label.
add_library(tesk_controls STATIC
  FFTDisplay.cpp
  WaveformDisplay.cpp
  Fader.cpp
  SensKnob.cpp
  OnOff.cpp
  Ctrlo.cpp
  Version.cpp
)
target_include_directories(tesk_controls PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tesk_controls PUBLIC graphics)

