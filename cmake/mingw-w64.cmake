# Cross-building for 64-bit Windows with the MinGW-w64 compilers
# (Debian: g++-mingw-w64-x86-64-posix). The posix thread flavour is the one
# whose C++ runtime has std::thread and std::mutex, which the host uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${MORVANE_MINGW_TRIPLE}-gcc-posix ${MORVANE_MINGW_TRIPLE}-gcc
  REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MORVANE_MINGW_TRIPLE}-g++-posix ${MORVANE_MINGW_TRIPLE}-g++
  REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MORVANE_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross tree only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine (test discovery, check-windows).
find_program(MORVANE_WINE NAMES wine64 wine)
if(MORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MORVANE_WINE})
endif()
