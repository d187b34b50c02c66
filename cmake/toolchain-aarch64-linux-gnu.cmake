# Cross-builds for 64-bit ARM Linux with Debian's cross compilers (g++-aarch64-linux-gnu); the
# target's C library and headers are those of libc6-dev-arm64-cross.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages also where CMAKE_PREFIX_PATH says, so a host finds an unpacked Cognexa prefix.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Programs built here run under qemu's user-mode emulator, which finds the target's loader and
# libraries below -L: test discovery and ctest start them through it.
find_program(COGNEXA_QEMU_AARCH64 qemu-aarch64)
if(COGNEXA_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${COGNEXA_QEMU_AARCH64} -L /usr/aarch64-linux-gnu)
endif()
