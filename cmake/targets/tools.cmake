# Command-line tools.

# tesk-render: processes audio files through the plug-in, opened through its Audio
# Unit entry as a host opens it. Audio files go through libsndfile.
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
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
target_link_libraries(tesk-render PRIVATE tesk_au PkgConfig::SNDFILE)
set_target_properties(tesk-render PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
