# Cross-builds the Windows console program on Debian with MinGW-w64 (package g++-mingw-w64-x86-64)
# and runs what it builds, the tests and their discovery included, under Wine.
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(reversi_mingw_triple x86_64-w64-mingw32)
# The -posix variants: their C++ runtime has the thread support that GoogleTest needs, which the
# default win32-thread variants lack.
set(CMAKE_C_COMPILER ${reversi_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${reversi_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${reversi_mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${reversi_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A self-contained .exe: without -static it needs libstdc++-6.dll and friends beside it, and Wine
# ends such a program at once with exit code 53 and no message.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Runs the built programs: test discovery after each link, and every test under ctest.
find_program(REVERSI_WINE NAMES wine wine64)
if(REVERSI_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${REVERSI_WINE})
endif()
