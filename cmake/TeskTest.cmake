# tesk_add_test(NAME name SOURCES ... LIBS ...)
# One GoogleTest executable per subsystem, its cases registered with CTest.
function(tesk_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${T_NAME} PRIVATE TESK_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
