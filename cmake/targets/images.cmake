# The artwork generator: draws the editor's seven images with the raster layer.
# `ninja regenerate_images` rewrites resources/img/ (the PNGs are committed).
add_executable(make_images
  tools/make_images.cpp
  tools/images/background.cpp
  tools/images/canvas.cpp
  tools/images/controls.cpp
  tools/images/coverage.cpp
  tools/images/preview.cpp
  tools/images/title.cpp
)
target_include_directories(make_images PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(make_images PRIVATE raster)

add_custom_target(regenerate_images
  COMMAND make_images ${CMAKE_SOURCE_DIR}/resources/img
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Drawing the editor images into resources/img"
  VERBATIM)
