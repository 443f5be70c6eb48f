# 32-bit Windows (x86), for 32-bit hosts.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
