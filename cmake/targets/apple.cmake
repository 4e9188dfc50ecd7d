# Linux stand-ins for the platform interfaces the Audio Unit binding uses: headers under the
# platform's own names plus a small working implementation, as one shared library. On the original platform its real frameworks
# are used, so nothing is defined there.
if(APPLE)
  return()
endif()

get_filename_component(TESK_APPLE_ROOT ${CMAKE_CURRENT_LIST_DIR}/../../compat/apple ABSOLUTE)
add_library(apple SHARED
  ${TESK_APPLE_ROOT}/src/CFBase.cpp
  ${TESK_APPLE_ROOT}/src/CFString.cpp
  ${TESK_APPLE_ROOT}/src/CFStringFormat.cpp
  ${TESK_APPLE_ROOT}/src/CFNumber.cpp
  ${TESK_APPLE_ROOT}/src/CFData.cpp
  ${TESK_APPLE_ROOT}/src/CFArray.cpp
  ${TESK_APPLE_ROOT}/src/CFDictionary.cpp
  ${TESK_APPLE_ROOT}/src/CFURL.cpp
  ${TESK_APPLE_ROOT}/src/CFBundle.cpp
  ${TESK_APPLE_ROOT}/src/CFRunLoop.cpp
  ${TESK_APPLE_ROOT}/src/MacMemory.cpp
  ${TESK_APPLE_ROOT}/src/Components.cpp
  ${TESK_APPLE_ROOT}/src/AudioComponents.cpp
  ${TESK_APPLE_ROOT}/src/PropertyListXML.cpp
  ${TESK_APPLE_ROOT}/src/Gestalt.cpp
  ${TESK_APPLE_ROOT}/src/AudioUnitCalls.cpp
  ${TESK_APPLE_ROOT}/src/AudioUnitEvents.cpp
)
# One shared copy in a process, as the platform's frameworks are: a host and the plug-in
# bundles it loads see the same components, instances, bundles and objects.
set_target_properties(apple PROPERTIES CXX_VISIBILITY_PRESET default VISIBILITY_INLINES_HIDDEN OFF)
target_link_libraries(apple PRIVATE ${CMAKE_DL_LIBS})
target_include_directories(apple PUBLIC ${TESK_APPLE_ROOT})
# Code written for the platform uses four-character literals such as 'aufx'.
target_compile_options(apple INTERFACE $<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang>:-Wno-multichar>
                                       $<$<COMPILE_LANG_AND_ID:C,GNU,Clang>:-Wno-multichar>)
target_link_libraries(apple PUBLIC Threads::Threads)
