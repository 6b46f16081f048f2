# The 32-bit Windows program, cross-compiled with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOLVEN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
