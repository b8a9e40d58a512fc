# skyloom_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable per call, registered with CTest as one test; when
# cross-compiling CTest runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
# Each run leaves its results as XML in the build folder's test-results/.
function(skyloom_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    SKYLOOM_TESTDATA_DIR="${SKYLOOM_TESTDATA}")
  add_test(NAME ${name}
           COMMAND ${name} --gtest_output=xml:${CMAKE_BINARY_DIR}/test-results/${name}.xml)
endfunction()
