# zlib, libpng and libjpeg-turbo; GoogleTest for the tests.
# Natively they come from Debian's -dev packages. The Windows build takes the
# static libraries that tools/build-deps.sh cross-compiled into
# SKYLOOM_DEPS_PREFIX (zlib from libz-mingw-w64-dev).
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(SKYLOOM_DEPS_PREFIX "${CMAKE_BINARY_DIR}/deps/prefix" CACHE PATH
      "Prefix of the cross-compiled dependencies")
  if(NOT EXISTS "${SKYLOOM_DEPS_PREFIX}/.googletest.done")
    message(FATAL_ERROR "Cross-compiled dependencies missing in ${SKYLOOM_DEPS_PREFIX}: "
                        "run tools/build-deps.sh ${SKYLOOM_DEPS_PREFIX}")
  endif()
  list(PREPEND CMAKE_FIND_ROOT_PATH "${SKYLOOM_DEPS_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH "${SKYLOOM_DEPS_PREFIX}")
  set(ZLIB_USE_STATIC_LIBS ON)
  set(ZLIB_LIBRARY /usr/x86_64-w64-mingw32/lib/libz.a CACHE FILEPATH "")
  set(ZLIB_INCLUDE_DIR /usr/x86_64-w64-mingw32/include CACHE PATH "")
  set(PNG_LIBRARY "${SKYLOOM_DEPS_PREFIX}/lib/libpng16.a" CACHE FILEPATH "")
  set(PNG_PNG_INCLUDE_DIR "${SKYLOOM_DEPS_PREFIX}/include" CACHE PATH "")
  set(JPEG_LIBRARY "${SKYLOOM_DEPS_PREFIX}/lib/libjpeg.a" CACHE FILEPATH "")
  set(JPEG_INCLUDE_DIR "${SKYLOOM_DEPS_PREFIX}/include" CACHE PATH "")
endif()

find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
