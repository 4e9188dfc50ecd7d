# cmake -DOUT=<file> -DVERSION=<x.y.z> -P write_info_plist.cmake
# Writes the component bundle's Info.plist with the build's own function.
if(NOT OUT OR NOT VERSION)
  message(FATAL_ERROR "usage: cmake -DOUT=<file> -DVERSION=<x.y.z> -P write_info_plist.cmake")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/TeskInfoPlist.cmake)
tesk_write_info_plist(${OUT} ${VERSION})
