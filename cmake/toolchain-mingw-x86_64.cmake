# Cross build for 64-bit Windows with MinGW-w64; its programs run under wine64.
set(ORP_MINGW_ARCH x86_64)
set(ORP_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
