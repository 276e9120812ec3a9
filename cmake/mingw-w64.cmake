# Cross-build for 64-bit Windows with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#     [-DQUIRN_QT_MINGW_PREFIX=$(scripts/qt-mingw.sh)]
# The -posix compilers carry std::thread and std::mutex; the runtime is linked statically so
# that the programs run on a Windows computer (or under Wine) without MinGW's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# GoogleTest is built from Debian's source package: there is no MinGW build of it to find.
set(QUIRN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for this build")
# The Qt windows need a Windows Qt, which Debian does not package for MinGW: scripts/qt-mingw.sh
# makes a static one. Without it the windows are left out of the cross-build.
set(QUIRN_QT_MINGW_PREFIX "" CACHE PATH "Static Qt 6 for MinGW-w64 (scripts/qt-mingw.sh)")
if(QUIRN_QT_MINGW_PREFIX)
  set(QUIRN_WITH_QT ON CACHE BOOL "" FORCE)
  # Packages are looked for only under the find roots, so the prefix becomes one.
  list(APPEND CMAKE_FIND_ROOT_PATH ${QUIRN_QT_MINGW_PREFIX})
  # moc, rcc and uic run on this machine: Debian's own Qt of the same version has them.
  set(QT_HOST_PATH /usr CACHE PATH "")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
else()
  set(QUIRN_WITH_QT OFF CACHE BOOL "" FORCE)
endif()
# Tests and the programs the tests start run under Wine on Linux.
find_program(QUIRN_WINE wine)
if(QUIRN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUIRN_WINE})
endif()
# The school calendar import reads .ics files through libical, which Debian does not package for
# MinGW: scripts/libical-mingw.sh makes a static one in the cache folder, found there unless
# QUIRN_LIBICAL_PREFIX names another.
if(NOT QUIRN_LIBICAL_PREFIX)
  if(DEFINED ENV{QUIRN_CACHE})
    set(quirn_cache $ENV{QUIRN_CACHE})
  else()
    set(quirn_cache $ENV{HOME}/.cache/quirn)
  endif()
  if(EXISTS ${quirn_cache}/libical-mingw64-static/lib/libical.a)
    set(QUIRN_LIBICAL_PREFIX ${quirn_cache}/libical-mingw64-static CACHE PATH
        "A static libical (scripts/libical-mingw.sh)")
  endif()
endif()
# The read history keeps its file with SQLite, which Debian does not package for MinGW:
# scripts/sqlite-mingw.sh makes a static one in the cache folder, found there unless
# QUIRN_SQLITE_PREFIX names another.
if(NOT QUIRN_SQLITE_PREFIX)
  if(DEFINED ENV{QUIRN_CACHE})
    set(quirn_sqlite_cache $ENV{QUIRN_CACHE})
  else()
    set(quirn_sqlite_cache $ENV{HOME}/.cache/quirn)
  endif()
  if(EXISTS ${quirn_sqlite_cache}/sqlite-mingw64-static/lib/libsqlite3.a)
    set(QUIRN_SQLITE_PREFIX ${quirn_sqlite_cache}/sqlite-mingw64-static CACHE PATH
        "A static SQLite (scripts/sqlite-mingw.sh)")
  endif()
endif()
