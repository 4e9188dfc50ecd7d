# Graphics framework: the graphics host, the control base, pop-up menus, drawing
# calls with the bitmap and font caches and the headless host. The platforms' graphics
# hosts are libraries of their own: the Mac binding (mac.cmake) and, on Linux,
# graphics_linux below.
include(${CMAKE_SOURCE_DIR}/cmake/EmbedImages.cmake)

add_library(graphics STATIC
  WDL/IPlug/IGraphics.cpp
  WDL/IPlug/IGraphicsBackground.cpp
  WDL/IPlug/IGraphicsBitmaps.cpp
  WDL/IPlug/IGraphicsDrawing.cpp
  WDL/IPlug/IGraphicsEmbeddedImages.cpp
  WDL/IPlug/IGraphicsEvents.cpp
  WDL/IPlug/IGraphicsHeadless.cpp
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

# The graphics host on Linux (WDL/IPlug/linux_window/): X11-free, so a library that
# must not link X11 can build an editor on it; the X11 window that attaches to it at run
# time is graphics_x11. Includes name the folder ("linux_window/IGraphicsLinux.h").
if(NOT APPLE)
  add_library(graphics_linux STATIC WDL/IPlug/linux_window/IGraphicsLinux.cpp)
  target_link_libraries(graphics_linux PUBLIC graphics)
endif()

# A small editor drawn through the headless host and written out as a PNG.
add_executable(editor_example tools/editor_example.cpp)
tesk_embed_images(editor_example ${CMAKE_SOURCE_DIR}/tests/graphics/fixtures/dial.png)
