# The editor's X11 window (Xlib, MIT-SHM through Xext) and its desktop services. It
# attaches at run time to an IGraphicsLinux that may live in another shared object, so
# the graphics library and whatever embeds it stay free of X11.
if(APPLE)
  return()
endif()
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xext)

add_library(graphics_x11 STATIC
  WDL/IPlug/X11EditorWindow.cpp
  WDL/IPlug/X11EditorEvents.cpp
  WDL/IPlug/X11Input.cpp
  WDL/IPlug/X11PopupMenu.cpp
  WDL/IPlug/X11PopupMenuLayout.cpp
  WDL/IPlug/X11Scale.cpp
  WDL/IPlug/X11Surface.cpp
  WDL/IPlug/X11TextEntry.cpp
  WDL/IPlug/LinuxDesktop.cpp
)
target_include_directories(graphics_x11 PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
# Only the headers of the graphics library (the window talks to the graphics host
# through IGraphicsLinuxWindow.h); the raster layer draws the menu and the text entry.
target_link_libraries(graphics_x11 PUBLIC raster swell wdl PkgConfig::X11 Threads::Threads)
