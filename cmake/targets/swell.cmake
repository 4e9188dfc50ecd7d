# Platform-font service over FreeType, face names resolved through fontconfig.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)

add_library(swell STATIC
  WDL/swell/swell_font.cpp
  WDL/swell/swell_fontmatch.cpp
)
target_include_directories(swell PUBLIC ${CMAKE_SOURCE_DIR}/WDL ${CMAKE_SOURCE_DIR}/WDL/swell)
target_link_libraries(swell PUBLIC Threads::Threads PRIVATE PkgConfig::FREETYPE PkgConfig::FONTCONFIG)
