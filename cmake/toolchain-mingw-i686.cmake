# Cross build for 32-bit Windows with MinGW-w64; its programs run under wine32.
set(ORP_MINGW_ARCH i686)
set(ORP_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
