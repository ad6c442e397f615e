# Shared part of the MinGW-w64 toolchain files: ORP_MINGW_ARCH (i686 or x86_64) and
# ORP_WINE_LOADER are set by the file that includes this one. The posix thread model makes
# std::mutex work.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ORP_MINGW_ARCH})
set(CMAKE_C_COMPILER   ${ORP_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORP_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  ${ORP_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORP_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The loader of the program's own width: /usr/bin/wine would pick wine32 whenever it is installed.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ORP_WINE_LOADER})
# No MinGW runtime DLLs have to ship next to orppanel.dll or the hosts.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Resource scripts are UTF-8.
set(CMAKE_RC_FLAGS_INIT "-c 65001")
