# The editor's X11 window (Xlib, MIT-SHM through Xext) and its desktop services, in
# WDL/IPlug/linux_window/ beside the graphics host it serves (graphics_linux). It
# attaches at run time to an IGraphicsLinux that may live in another shared object, so
# the graphics libraries and whatever embeds them stay free of X11. Includes name the
# folder ("linux_window/X11EditorWindow.h"); within it, files include each other by name.
if(APPLE)
  return()
endif()
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xext)

add_library(graphics_x11 STATIC
  WDL/IPlug/linux_window/X11EditorWindow.cpp
  WDL/IPlug/linux_window/X11EditorEvents.cpp
  WDL/IPlug/linux_window/X11Input.cpp
  WDL/IPlug/linux_window/X11PopupMenu.cpp
  WDL/IPlug/linux_window/X11PopupMenuLayout.cpp
  WDL/IPlug/linux_window/X11Scale.cpp
  WDL/IPlug/linux_window/X11Surface.cpp
  WDL/IPlug/linux_window/X11TextEntry.cpp
  WDL/IPlug/linux_window/LinuxDesktop.cpp
)
# The framework's folder is the include root; only the headers of the graphics library
# are used (the window talks to the graphics host through IGraphicsLinuxWindow.h); the
# raster layer draws the menu and the text entry.
target_include_directories(graphics_x11 PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(graphics_x11 PUBLIC raster swell wdl PkgConfig::X11 Threads::Threads)
