# The identity of the macOS component bundle and its Info.plist.
# tesk_write_info_plist(<output file> <version x.y.z>) configures resources/Info.plist.in.
# No targets here: the build (cmake/targets/tesk.cmake on Linux, mac.cmake on Apple) and the
# bundle test (tests/mac) include this file and write the plist the same way.
include_guard(GLOBAL)
set(TESK_BUNDLE_EXECUTABLE Tesk)
set(TESK_BUNDLE_NAME Tesk)
set(TESK_BUNDLE_ID com.orvanta.audiounit.Tesk)
set(TESK_AU_TYPE aufx)
set(TESK_AU_SUBTYPE Tesk)
set(TESK_AU_MANUFACTURER Tesk)
set(TESK_AU_NAME "Orvanta: Tesk")
# The symbols the component exports: the audio component factory the bundle names (hosts
# open the unit through it), and the Component Manager's Audio Unit and Carbon view entries.
set(TESK_AU_FACTORY Tesk_Factory)
set(TESK_AU_ENTRY Tesk_Entry)
set(TESK_AU_VIEW_ENTRY Tesk_ViewEntry)
# The Cocoa view factory's description (its class name is made per build, au.cmake).
set(TESK_AU_VIEW_DESCRIPTION "Tesk View")

set(TESK_INFO_PLIST_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/../resources/Info.plist.in)

function(tesk_write_info_plist out version)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "tesk_write_info_plist: version '${version}' is not major.minor.bugfix")
  endif()
  if(CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER 255)
    message(FATAL_ERROR "tesk_write_info_plist: minor and bug-fix of '${version}' must fit a byte")
  endif()
  # The component version as hosts read it: major in bits 16-31, minor 8-15, bug-fix 0-7.
  math(EXPR TESK_AU_VERSION_INT "(${CMAKE_MATCH_1} << 16) | (${CMAKE_MATCH_2} << 8) | ${CMAKE_MATCH_3}")
  set(TESK_BUNDLE_VERSION ${version})
  configure_file(${TESK_INFO_PLIST_TEMPLATE} ${out} @ONLY)
endfunction()
