# toolchain-windows.cmake: cross-builds for 64-bit Windows from Debian with clang and mingw-w64.
#
# clang rather than mingw-w64's g++, because the guarded division uses structured exception
# handling (__try/__except), which g++ does not have. clang compiles against mingw-w64's headers
# and links with its binutils, its C runtime import libraries and g++'s libstdc++ (the posix
# threading flavour Debian installs), so the result is an ordinary mingw-w64 program.
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=toolchain-windows.cmake \
#     [-DSAMPLE_DRAWING_FREEGLUT_PREFIX=<where a static freeglut is installed>]
#
# scripts/build-windows.sh does all of it, freeglut included.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingwTriple x86_64-w64-mingw32)
set(mingwRoot /usr/${mingwTriple})
# The C++ library's headers and archives are in g++'s own directory, which Debian names after g++'s
# version and threading flavour (12-posix on Debian 12, 14-posix on 13), and which not every clang
# finds by itself: g++ says where its directory is, so no version is written here.
set(mingwGccDir "")
find_program(mingwGxx ${mingwTriple}-g++-posix)
if(mingwGxx)
  execute_process(COMMAND ${mingwGxx} -print-libgcc-file-name
                  OUTPUT_VARIABLE mingwLibgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(mingwGccDir "${mingwLibgcc}" DIRECTORY)
endif()
if(NOT IS_DIRECTORY "${mingwGccDir}/include/c++")
  message(FATAL_ERROR "mingw-w64's C++ library is missing (Debian: g++-mingw-w64-x86-64-posix)")
endif()

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${mingwTriple})
set(CMAKE_CXX_COMPILER_TARGET ${mingwTriple})
set(CMAKE_RC_COMPILER ${mingwTriple}-windres)
set(CMAKE_AR ${mingwTriple}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${mingwTriple}-ranlib CACHE FILEPATH "Archive indexer")
set(CMAKE_STRIP ${mingwTriple}-strip CACHE FILEPATH "Symbol stripper")
set(CMAKE_SYSROOT ${mingwRoot})

# Strict IEEE arithmetic in everything this toolchain builds (clang contracts into fused
# multiply-add by default). -static: libstdc++, libgcc and winpthread (which this libstdc++ is
# built on, hence -pthread) go into the exe, which then needs only the DLLs every Windows has.
set(CMAKE_C_FLAGS_INIT "-ffp-contract=off -fno-fast-math")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off -fno-fast-math")
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${mingwGccDir}/include/c++ ${mingwGccDir}/include/c++/${mingwTriple}
    ${mingwGccDir}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -pthread -L${mingwGccDir}")

# Headers and libraries come only from the Windows side, never from the host's /usr.
set(CMAKE_FIND_ROOT_PATH ${mingwRoot})
if(SAMPLE_DRAWING_FREEGLUT_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${SAMPLE_DRAWING_FREEGLUT_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine, each in a prefix of its own on a private X server: so
# `ctest --preset windows` runs the unit tests.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/scripts/lib/wine-run.sh)
