# lv2/tesk.lv2/ in the build folder: the plug-in's library (tesk.so: the processor, no
# editor, no graphics, no X11), the UI's library (tesk_ui.so: the editor and its X11
# window, no processor) and the Turtle files, written at build time by tesk_lv2_ttl from
# the parameter table. Each library exports its LV2 entry only, and nothing else: two
# copies of the plug-in framework live in one host process when the UI opens, and
# neither may bind to the other's symbols.
if(APPLE)
  return()
endif()

# In a folder of its own, so LV2_PATH can point at it alone.
set(TESK_LV2_BUNDLE_DIR ${CMAKE_BINARY_DIR}/lv2/tesk.lv2)
set(TESK_LV2_TTL ${TESK_LV2_BUNDLE_DIR}/manifest.ttl ${TESK_LV2_BUNDLE_DIR}/tesk.ttl ${TESK_LV2_BUNDLE_DIR}/presets.ttl)

add_executable(tesk_lv2_ttl lv2/tesk_lv2_ttl.cpp)
target_link_libraries(tesk_lv2_ttl PRIVATE tesk_lv2)
add_custom_command(OUTPUT ${TESK_LV2_TTL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESK_LV2_BUNDLE_DIR}
  COMMAND tesk_lv2_ttl ${TESK_LV2_BUNDLE_DIR}
  DEPENDS tesk_lv2_ttl
  COMMENT "Writing the Turtle files of tesk.lv2"
  VERBATIM)

# tesk_lv2_module(TARGET name OUTPUT file-name MAP version-script SOURCES ... LIBS ...)
function(tesk_lv2_module)
  cmake_parse_arguments(M "" "TARGET;OUTPUT;MAP" "SOURCES;LIBS" ${ARGN})
  add_library(${M_TARGET} MODULE ${M_SOURCES})
  target_link_libraries(${M_TARGET} PRIVATE ${M_LIBS})
  set_target_properties(${M_TARGET} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${M_OUTPUT}
    LIBRARY_OUTPUT_DIRECTORY ${TESK_LV2_BUNDLE_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${M_MAP})
  target_link_options(${M_TARGET} PRIVATE -Wl,--version-script=${M_MAP})
  # Every symbol resolved in the library itself, except in clang's instrumented builds:
  # there the sanitizer and coverage runtimes are linked into the executable that loads it.
  if(NOT (CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND (TESK_FUZZ OR TESK_SANITIZE)))
    target_link_options(${M_TARGET} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

tesk_lv2_module(TARGET tesk_lv2_dsp OUTPUT tesk MAP ${CMAKE_SOURCE_DIR}/lv2/tesk.map
  SOURCES lv2/TeskLV2Entry.cpp LIBS tesk_lv2)
tesk_lv2_module(TARGET tesk_lv2_ui OUTPUT tesk_ui MAP ${CMAKE_SOURCE_DIR}/lv2/tesk_ui.map
  SOURCES lv2/TeskLV2UI.cpp lv2/TeskLV2EditorPlug.cpp $<TARGET_OBJECTS:tesk_images>
  LIBS tesk_controls graphics_x11 iplug PkgConfig::LV2)
target_include_directories(tesk_lv2_ui PRIVATE ${CMAKE_SOURCE_DIR}/lv2)

# The Turtle files alone, for what loads the plug-in without its UI (the fuzz targets).
add_custom_target(tesk_lv2_description DEPENDS ${TESK_LV2_TTL})
add_custom_target(tesk_lv2_bundle ALL DEPENDS tesk_lv2_description tesk_lv2_dsp tesk_lv2_ui)

# `cmake --install` puts the bundle in TESK_LV2_INSTALL_DIR when set; otherwise in the
# first folder of $LV2_PATH at install time, or else in ~/.lv2.
set(TESK_LV2_INSTALL_DIR "" CACHE PATH "Where `cmake --install` puts tesk.lv2 (default: first of \$LV2_PATH, else ~/.lv2)")
install(CODE "
  set(dir \"${TESK_LV2_INSTALL_DIR}\")
  if(NOT dir AND DEFINED ENV{LV2_PATH} AND NOT \"\$ENV{LV2_PATH}\" STREQUAL \"\")
    string(REPLACE \":\" \";\" paths \"\$ENV{LV2_PATH}\")
    list(GET paths 0 dir)
  endif()
  if(NOT dir)
    set(dir \"\$ENV{HOME}/.lv2\")
  endif()
  file(INSTALL DESTINATION \"\${dir}/tesk.lv2\" TYPE FILE FILES ${TESK_LV2_TTL})
  file(INSTALL DESTINATION \"\${dir}/tesk.lv2\" TYPE MODULE FILES
       \"$<TARGET_FILE:tesk_lv2_dsp>\" \"$<TARGET_FILE:tesk_lv2_ui>\")
" COMPONENT lv2)
