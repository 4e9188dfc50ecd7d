# Containers and utilities shared by every subsystem.
add_library(wdl STATIC
  WDL/base64encdec.cpp
  WDL/wdlstring.cpp
)
target_include_directories(wdl PUBLIC ${CMAKE_SOURCE_DIR}/WDL ${CMAKE_SOURCE_DIR})
target_link_libraries(wdl PUBLIC Threads::Threads)
