# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DHV_BUILD_GUI=OFF
# and with the windows, against the static Qt that scripts/qt-mingw.sh builds:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#       -DHV_QT_MINGW=$(scripts/qt-mingw.sh)
# The posix thread model gives std::thread and std::mutex; everything is linked statically so
# that hv.exe runs on a bare Windows (or Wine) without MinGW's DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HV_MINGW_PREFIX})
# That Qt's moc, rcc and uic are the host's own, from qt6-base-dev.
if(HV_QT_MINGW)
  list(APPEND CMAKE_FIND_ROOT_PATH ${HV_QT_MINGW})
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools built here run under Wine on the build machine.
find_program(HV_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(HV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HV_WINE})
endif()
