# 64-bit Windows with Debian's mingw-w64 cross compiler.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TALVO_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
