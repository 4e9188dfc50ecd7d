# The Tesk plug-in, in layers:
#   tesk_engine    the spectral engine with its display feed, binding-free
#   tesk_controls  the editor's controls and the layout that builds them
#   tesk_au        the processor (Tesk.cpp) on the Audio Unit binding, with its editor
#   Tesk           the loadable Audio Unit library
#   tesk_lv2       the processor on the LV2 binding, without an editor (its bundle and
#                  the UI library that builds the editor: lv2bundle.cmake)
# Another binding is one more small library compiling Tesk.cpp with its own
# IPLUG_API_* definition (see WDL/IPlug/IPlugAPI.h), as tesk_hostless does.

# Engine
# Binding-free by construction: its only include directory is the repository root
# (through fft), which holds neither WDL/IPlug nor compat/, so an engine file that
# includes a framework, binding or platform header by name fails to build. The test
# tesk_engine_includes also refuses a path into WDL/ or compat/ spelled out from the
# root. Nothing here may link a framework target.
add_library(tesk_engine STATIC
  TeskDisplayFeed.cpp
  TeskEngine.cpp
  TeskPipeline.cpp
  TeskSensitivity.cpp
  TeskSpectral.cpp
  TeskStageOne.cpp
  TeskStageTwo.cpp
)
target_link_libraries(tesk_engine PUBLIC fft)
# Nothing in the engine reads errno, and its square roots never see a negative
# argument: without errno the compiler keeps the measure's chunk loops and the
# spectra's magnitudes in vector registers (the results are the same, square roots
# being exactly rounded either way).
target_compile_options(tesk_engine PRIVATE -fno-math-errno)

# Controls and the editor layout.
add_library(tesk_controls STATIC
  FFTDisplay.cpp
  WaveformDisplay.cpp
  Fader.cpp
  SensKnob.cpp
  OnOff.cpp
  Ctrlo.cpp
  Version.cpp
  TeskEditor.cpp
)
target_include_directories(tesk_controls PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tesk_controls PUBLIC graphics portable_math)
# The editor's MakeGraphics creates the platform's graphics host: on Linux this one (on
# Apple the Mac binding, mac.cmake).
if(TARGET graphics_linux)
  target_link_libraries(tesk_controls PUBLIC graphics_linux)
endif()

# The editor's images are compiled into an object library that every user of a
# processor library links in whole (a static library would drop their registration,
# which nothing references).
file(GLOB TESK_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/img/*.png)
add_library(tesk_images OBJECT)
tesk_embed_images(tesk_images ${TESK_IMAGES})

# tesk_processor(NAME name API definition [EDITOR] LIBS binding... SOURCES extra...)
# The processor on one binding; EDITOR for a binding whose processor builds the editor
# (Tesk.h, TESK_PROCESSOR_BUILDS_EDITOR), which brings the controls, the graphics and
# the images along. The definition is PUBLIC: every file that includes Tesk.h must see
# the same base class.
function(tesk_processor)
  cmake_parse_arguments(P "EDITOR" "NAME;API" "LIBS;SOURCES" ${ARGN})
  add_library(${P_NAME} STATIC Tesk.cpp ${P_SOURCES})
  target_compile_definitions(${P_NAME} PUBLIC ${P_API})
  target_include_directories(${P_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${P_NAME} PUBLIC tesk_engine ${P_LIBS})
  if(P_EDITOR)
    target_link_libraries(${P_NAME} PUBLIC tesk_controls)
    target_sources(${P_NAME} INTERFACE $<TARGET_OBJECTS:tesk_images>)
  endif()
endfunction()

# Audio Unit: the seed property, the factory and the exported entries come along.
tesk_processor(NAME tesk_au API IPLUG_API_AU EDITOR LIBS au SOURCES TeskAU.cpp)
# LV2: both variants' descriptors come along; the entry is in the bundle's library. No
# editor, so nothing of the graphics framework is linked.
if(TARGET lv2_binding)
  tesk_processor(NAME tesk_lv2 API IPLUG_API_LV2 LIBS lv2_binding SOURCES lv2/TeskLV2.cpp)
  target_include_directories(tesk_lv2 PUBLIC ${CMAKE_SOURCE_DIR}/lv2)
endif()
# No host at all: proves the processor builds without any binding's headers.
tesk_processor(NAME tesk_hostless API IPLUG_API_HOSTLESS EDITOR LIBS iplug graphics)

# The loadable plug-in, laid out as the component bundle a Mac host scans:
#   Tesk.component/Contents/Info.plist   the same file the Apple build writes
#   Tesk.component/Contents/MacOS/Tesk   this library
#   Tesk.component/Contents/Resources/   the editor's images
# in the build folder, which hosts and tests search for components (the Apple build
# makes the real bundle, mac.cmake). It exports only its entries (TeskAU.cpp); the whole
# archive goes in, so they are kept although nothing in the library calls them.
if(NOT APPLE)
  include(${CMAKE_SOURCE_DIR}/cmake/TeskInfoPlist.cmake)
  set(TESK_COMPONENT_FOLDER ${CMAKE_BINARY_DIR})
  set(TESK_COMPONENT_DIR ${TESK_COMPONENT_FOLDER}/${TESK_BUNDLE_NAME}.component)
  add_library(Tesk SHARED)
  target_link_libraries(Tesk PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,tesk_au>)
  set_target_properties(Tesk PROPERTIES
    PREFIX ""
    SUFFIX ""
    OUTPUT_NAME ${TESK_BUNDLE_EXECUTABLE}
    LIBRARY_OUTPUT_DIRECTORY ${TESK_COMPONENT_DIR}/Contents/MacOS
    LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/TeskComponent.map)
  target_link_options(Tesk PRIVATE -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/TeskComponent.map)
  # Every symbol resolved in the library itself, except in clang's instrumented builds:
  # there the sanitizer and coverage runtimes are linked into the executable that loads it.
  if(NOT (CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (TESK_FUZZ OR TESK_SANITIZE)))
    target_link_options(Tesk PRIVATE -Wl,--no-undefined)
  endif()

  tesk_write_info_plist(${TESK_COMPONENT_DIR}/Contents/Info.plist ${PROJECT_VERSION})
  set(_resources "")
  foreach(img IN LISTS TESK_IMAGES)
    get_filename_component(_name ${img} NAME)
    set(_out ${TESK_COMPONENT_DIR}/Contents/Resources/${_name})
    add_custom_command(OUTPUT ${_out} COMMAND ${CMAKE_COMMAND} -E copy ${img} ${_out} DEPENDS ${img} VERBATIM)
    list(APPEND _resources ${_out})
  endforeach()
  # The whole bundle: what depends on opening Tesk as a host does depends on this.
  add_custom_target(TeskBundle ALL DEPENDS Tesk ${_resources})
endif()
