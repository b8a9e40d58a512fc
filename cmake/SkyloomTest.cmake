# skyloom_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable per call, registered with CTest as one test; when
# cross-compiling CTest runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
# Each run leaves its results as XML in the build folder's test-results/.
function(skyloom_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set(testdata "${SKYLOOM_TESTDATA}")
  if(CMAKE_CROSSCOMPILING)
    set(testdata "Z:${testdata}")
  endif()
  target_compile_definitions(${name} PRIVATE SKYLOOM_TESTDATA_DIR="${testdata}")
  # Under Wine a Unix path is read on drive Z:.
  set(report "${CMAKE_BINARY_DIR}/test-results/${name}.xml")
  if(CMAKE_CROSSCOMPILING)
    string(REPLACE "/" "\\" report "Z:${report}")
  endif()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-results)
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${report})
endfunction()
