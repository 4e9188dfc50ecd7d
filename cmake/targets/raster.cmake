# Raster layer: bitmaps, pixel combining, blits, shapes, PNG, cached fonts.
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)

add_library(raster STATIC
  raster/lice_bitmap.cpp
  raster/lice_blit.cpp
  raster/lice_curves.cpp
  raster/lice_png.cpp
  raster/lice_shapes.cpp
  raster/lice_text.cpp
)
target_include_directories(raster PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/raster)
# `swell` is defined in swell.cmake, included after this file; CMake resolves it by name.
target_link_libraries(raster PUBLIC wdl swell PRIVATE PkgConfig::PNG PkgConfig::ZLIB)
