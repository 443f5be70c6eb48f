# 64-bit Windows (x64), for 64-bit hosts.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
