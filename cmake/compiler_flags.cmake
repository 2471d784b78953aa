# Warning and sanitizer flags for every target of the project. Included from
# the top-level list before any target is declared, so libraries and
# executables added anywhere later get the same flags without naming them.

option(OSSIVAR_WERROR "Treat compiler warnings as errors (the test command's builds)" OFF)
option(OSSIVAR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(MSVC)
  add_compile_options(/W4 /permissive-)
  if(OSSIVAR_WERROR)
    add_compile_options(/WX)
  endif()
elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic)
  if(OSSIVAR_WERROR)
    add_compile_options(-Werror)
  endif()
else()
  message(WARNING "No warning flags known for ${CMAKE_CXX_COMPILER_ID}; building with its defaults")
endif()

if(OSSIVAR_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "OSSIVAR_SANITIZE needs GCC or Clang, not ${CMAKE_CXX_COMPILER_ID}")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# <windows.h> would otherwise define min and max as macros over std::min
# and std::max (MSVC's does; MinGW's only in C).
if(WIN32)
  add_compile_definitions(NOMINMAX)
endif()

# MinGW's C++ runtime is linked into each program, so the game runs on any
# Windows without its DLLs beside it.
if(MINGW)
  add_link_options(-static)
endif()
