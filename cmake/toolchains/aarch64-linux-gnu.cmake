# Linux on 64-bit ARM (long double is binary128 there), run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Debian's arm64 Arb and the libraries under it, unpacked by cmake/superbuild, beside the sysroot.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu ${ROOTFINDER_THIRD_PARTY_PREFIX})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ROOTFINDER_THIRD_PARTY_PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator finds the target's dynamic loader and libraries under the cross sysroot, and
# FLINT's own dependencies (loaded with the verdict module) through the library path.
find_program(ROOTFINDER_QEMU qemu-aarch64)
if(ROOTFINDER_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ROOTFINDER_QEMU} -L /usr/aarch64-linux-gnu)
  foreach(prefix IN LISTS ROOTFINDER_THIRD_PARTY_PREFIX)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -E LD_LIBRARY_PATH=${prefix}/usr/lib/aarch64-linux-gnu)
  endforeach()
endif()
