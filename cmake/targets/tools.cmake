# Command-line tools.

# tesk-render: processes audio files through the plug-in, opened from its component
# bundle as a host opens it (the shared Audio Unit host, au_host); only the plug-in's
# headers are compiled in, for its codes and property IDs. Audio files go through
# libsndfile (optional on Apple).
if(APPLE)
  find_package(PkgConfig)
  if(PkgConfig_FOUND)
    pkg_check_modules(SNDFILE IMPORTED_TARGET sndfile)
  endif()
  if(NOT SNDFILE_FOUND)
    message(STATUS "tesk-render is not built: libsndfile (pkg-config sndfile) not found")
    return()
  endif()
else()
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
endif()
add_executable(tesk-render
  tools/render/main.cpp
  tools/render/RenderOptions.cpp
  tools/render/RenderJob.cpp
  tools/render/TeskHost.cpp
  tools/render/AudioFile.cpp
  tools/render/AudioFormats.cpp
  tools/render/ChunkLayout.cpp
  tools/render/InputFile.cpp
  tools/render/Interruption.cpp
  tools/render/FileIdentity.cpp
  tools/render/PendingOutput.cpp
  tools/render/DemoSignal.cpp
  tools/render/RenderProgress.cpp
)
target_include_directories(tesk-render PRIVATE ${CMAKE_SOURCE_DIR}/tools/render)
target_compile_definitions(tesk-render PRIVATE TESK_RENDER_VERSION="${PROJECT_VERSION}")
target_include_directories(tesk-render PRIVATE $<TARGET_PROPERTY:tesk_au,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_definitions(tesk-render PRIVATE $<TARGET_PROPERTY:tesk_au,INTERFACE_COMPILE_DEFINITIONS>)
target_compile_options(tesk-render PRIVATE $<TARGET_PROPERTY:tesk_au,INTERFACE_COMPILE_OPTIONS>)
target_link_libraries(tesk-render PRIVATE PkgConfig::SNDFILE portable_math au_host)
if(APPLE)
  target_link_libraries(tesk-render PRIVATE "-framework AudioToolbox" "-framework CoreFoundation")
else()
  target_link_libraries(tesk-render PRIVATE apple)
  add_dependencies(tesk-render TeskBundle)
endif()
set_target_properties(tesk-render PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# Installed (`cmake --install BUILD --component render`, as the Debian package does):
#   BINDIR/tesk-render
#   LIBDIR/tesk/libapple.so                          the stand-ins, private to the renderer
#   LIBDIR/tesk/Tesk.component/Contents/Info.plist   the bundle the renderer opens
#   LIBDIR/tesk/Tesk.component/Contents/MacOS/Tesk
#   MANDIR/man1/tesk-render.1
# Everything is found relative to the program (RUNPATH $ORIGIN/..., and the component
# folder compiled in as a path relative to the program's folder), so an installed tree
# moved elsewhere (a package unpacked into a scratch folder) still finds its own files.
# The editor's images are compiled into the component: its Resources folder stays in
# the build tree.
if(NOT APPLE)
  include(GNUInstallDirs)
  set(TESK_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/tesk)
  file(RELATIVE_PATH _component_folder ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/tesk)
  target_compile_definitions(tesk-render PRIVATE TESK_RENDER_COMPONENT_FOLDER="${_component_folder}")
  set_target_properties(tesk-render PROPERTIES INSTALL_RPATH "$ORIGIN/${_component_folder}")
  set_target_properties(Tesk PROPERTIES INSTALL_RPATH "$ORIGIN/../../..")
  install(TARGETS tesk-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT render)
  install(TARGETS apple LIBRARY DESTINATION ${TESK_PRIVATE_LIBDIR} COMPONENT render)
  install(TARGETS Tesk LIBRARY DESTINATION ${TESK_PRIVATE_LIBDIR}/${TESK_BUNDLE_NAME}.component/Contents/MacOS
          COMPONENT render)
  install(FILES ${TESK_COMPONENT_DIR}/Contents/Info.plist
          DESTINATION ${TESK_PRIVATE_LIBDIR}/${TESK_BUNDLE_NAME}.component/Contents COMPONENT render)
  configure_file(${CMAKE_SOURCE_DIR}/tools/render/tesk-render.1.in ${CMAKE_BINARY_DIR}/tools/tesk-render.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/tools/tesk-render.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT render)
endif()
