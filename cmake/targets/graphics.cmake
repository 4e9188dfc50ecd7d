# Graphics framework: the graphics host, the control base, pop-up menus, drawing
# calls with the bitmap and font caches, the headless host and the Linux graphics host
# (IGraphicsLinux, which holds no X11 code; its window is in graphics_x11).
include(${CMAKE_SOURCE_DIR}/cmake/EmbedImages.cmake)

add_library(graphics STATIC
  WDL/IPlug/IGraphics.cpp
  WDL/IPlug/IGraphicsBackground.cpp
  WDL/IPlug/IGraphicsBitmaps.cpp
  WDL/IPlug/IGraphicsDrawing.cpp
  WDL/IPlug/IGraphicsEmbeddedImages.cpp
  WDL/IPlug/IGraphicsEvents.cpp
  WDL/IPlug/IGraphicsHeadless.cpp
  WDL/IPlug/IGraphicsLinux.cpp
  WDL/IPlug/IGraphicsPosixPaths.cpp
  WDL/IPlug/IGraphicsStorage.cpp
  WDL/IPlug/IControl.cpp
  WDL/IPlug/ITextControl.cpp
  WDL/IPlug/IPopupMenu.cpp
  WDL/IPlug/IControlsBitmap.cpp
  WDL/IPlug/IControlsKnob.cpp
  WDL/IPlug/IControlsText.cpp
)
target_include_directories(graphics PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(graphics PUBLIC iplug raster swell wdl ${CMAKE_DL_LIBS})

# A small editor drawn through the headless host and written out as a PNG.
add_executable(editor_example tools/editor_example.cpp)
tesk_embed_images(editor_example ${CMAKE_SOURCE_DIR}/tests/graphics/fixtures/dial.png)
