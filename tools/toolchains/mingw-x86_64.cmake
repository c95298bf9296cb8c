# Cross build for 64-bit Windows with Debian's MinGW-w64 (x86_64): the same
# sources, for running the Windows tests under wine64 where a kernel without
# 32-bit support cannot run wine32.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
