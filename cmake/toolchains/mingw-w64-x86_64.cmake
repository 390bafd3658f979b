# Windows x86-64 with MinGW-w64 (posix threads), linked statically so that the executables run
# under wine, or on Windows, with no DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Qt, QCustomPlot and Arb built for this toolchain (cmake/superbuild) are found like the system's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ROOTFINDER_THIRD_PARTY_PREFIX})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ROOTFINDER_THIRD_PARTY_PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests (and their discovery) run under wine; WINEPREFIX and WINEDEBUG come from the test preset.
find_program(ROOTFINDER_WINE wine64 PATHS /usr/lib/wine)
if(ROOTFINDER_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ROOTFINDER_WINE})
endif()
