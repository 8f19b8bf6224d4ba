# Cross building for 64-bit Windows with Debian's MinGW-w64 (POSIX threads,
# so that std::thread and std::mutex work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUARRIX_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARRIX_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARRIX_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARRIX_MINGW_HOST}-windres)
# The compiler's libraries, those build-deps.sh builds, and GoogleTest.
set(CMAKE_FIND_ROOT_PATH /usr/${QUARRIX_MINGW_HOST} ${QUARRIX_WIN_DEPS} ${QUARRIX_WIN_GTEST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine.
find_program(QUARRIX_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QUARRIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARRIX_WINE})
endif()
