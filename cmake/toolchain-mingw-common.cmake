# Cross build of the Windows program with mingw-w64 (Debian's posix thread-model compilers).
# Included by the two toolchain files, which set TOLVEN_MINGW_PREFIX and the processor.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TOLVEN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVEN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVEN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVEN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
