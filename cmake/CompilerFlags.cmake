# Warnings on everywhere; arithmetic pinned so that the native build and the
# Windows build give the same bytes (no contraction into fused multiply-add,
# no fast-math, SSE2 scalar math on x86-64).
add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601)
  # One self-contained executable per target: no MinGW runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(SKYLOOM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
