# Cross build of velmoria.exe for 64-bit Windows with Debian's mingw-w64:
# the same source as the 32-bit program, built to test it under wine64 on a
# machine whose kernel runs no 32-bit program.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
