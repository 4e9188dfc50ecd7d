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

# Processor
# The processor, its spectral engine and the editor layout. The editor's images are
# compiled into an object library that every user of tesk_engine links in whole (a
# static library would drop their registration, which nothing references).
file(GLOB TESK_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/img/*.png)
add_library(tesk_images OBJECT)
tesk_embed_images(tesk_images ${TESK_IMAGES})

add_library(tesk_engine STATIC
  Tesk.cpp
  TeskEditor.cpp
  TeskPipeline.cpp
  TeskSensitivity.cpp
  TeskSpectral.cpp
  TeskStageOne.cpp
  TeskStageTwo.cpp
)
target_include_directories(tesk_engine PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tesk_engine PUBLIC tesk_controls au fft graphics)
target_sources(tesk_engine INTERFACE $<TARGET_OBJECTS:tesk_images>)

# The loadable plug-in: exports Tesk_Entry and Tesk_ViewEntry. The whole engine
# archive goes in, so the entries are kept although nothing in the library calls them.
add_library(Tesk SHARED)
target_link_libraries(Tesk PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,tesk_engine>)
if(NOT APPLE)
  target_link_options(Tesk PRIVATE -Wl,--no-undefined)
endif()
