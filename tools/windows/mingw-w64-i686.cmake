# 32-bit Windows, with g++-mingw-w64-i686.
set(MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
