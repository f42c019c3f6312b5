# SPDX-License-Identifier: MIT
# Cross-building for 64-bit Windows with Debian's MinGW-w64, in its POSIX
# thread model (std::thread and std::mutex need it). Libraries built for
# Windows are looked for in the cross compiler's own folder and in the
# folders of CMAKE_FIND_ROOT_PATH (scripts/build-windows.sh passes the one
# it fills); the build machine's headers and libraries are never used.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs that carry their runtime (libstdc++, libgcc, winpthreads) run
# from any folder without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# The tests are run under Wine on the build machine.
find_program(CMAKE_CROSSCOMPILING_EMULATOR NAMES wine64 wine PATHS /usr/lib/wine)
