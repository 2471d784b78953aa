# Cross-builds for 64-bit Windows with MinGW-w64 from a Linux machine:
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# OSSIVAR_WINDOWS_DEPS names a folder holding Windows builds of the test
# libraries (GoogleTest); the test command makes one. Programs run through
# wine where CMake runs them (test discovery, ctest).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: GoogleTest needs std::mutex, which GCC 12 has on
# Windows only with it. Its runtime is linked into each program (see
# compiler_flags.cmake), so nothing needs shipping beside the game.
find_program(CMAKE_CXX_COMPILER NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-gcc)
find_program(CMAKE_RC_COMPILER NAMES x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${OSSIVAR_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(OSSIVAR_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine)
if(OSSIVAR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OSSIVAR_WINE})
endif()
