# Shared part of the mingw-w64 cross toolchains; the including file sets
# TALVO_MINGW_TARGET (x86_64-w64-mingw32 or i686-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: its libstdc++ has std::mutex and std::call_once.
set(CMAKE_C_COMPILER ${TALVO_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVO_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALVO_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALVO_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static C++ runtime, libgcc and winpthread, so that neither the programs nor
# the DLL need the mingw runtime DLLs beside them. Qt for Windows, a set of
# DLLs, is built with TALVO_MINGW_SHARED_RUNTIME so that they share one.
if(NOT TALVO_MINGW_SHARED_RUNTIME)
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
    set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
endif()

# Lets CTest run the Windows test programs on this machine.
find_program(TALVO_WINE_PROGRAM wine)
if(TALVO_WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TALVO_WINE_PROGRAM})
endif()
