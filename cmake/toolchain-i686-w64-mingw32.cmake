# Cross-builds for 32-bit Windows with Debian's mingw-w64. The -posix compilers: GCC 12's win32
# thread model has no std::thread or std::mutex, which the tests and the tool use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages also where CMAKE_PREFIX_PATH says, so a host finds an unpacked Cognexa prefix.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Programs built here run under Wine: test discovery and ctest start them through it.
find_program(COGNEXA_WINE wine)
if(COGNEXA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${COGNEXA_WINE})
endif()
