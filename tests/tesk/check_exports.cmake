# cmake -DNM=<nm> -DLIB=<component executable> -P check_exports.cmake
# The component's executable defines exactly its three entries in its dynamic symbol table:
# anything more (a framework function, a template's weak symbol) could bind to another
# plug-in's copy in the same host process.
execute_process(COMMAND ${NM} -D --defined-only ${LIB} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(names "")
foreach(line IN LISTS lines)
  # "<address> <type> <name>"; the version script's own node, if any, is no symbol of ours.
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) (.+)$" AND NOT CMAKE_MATCH_1 STREQUAL "A")
    list(APPEND names ${CMAKE_MATCH_2})
  endif()
endforeach()
list(SORT names)
set(expected Tesk_Entry Tesk_Factory Tesk_ViewEntry)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: '${names}', expected exactly: '${expected}'")
endif()
message(STATUS "exports: ${names}")
