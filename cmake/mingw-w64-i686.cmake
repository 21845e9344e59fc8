# Cross build for 32-bit Windows with Debian's MinGW-w64 compilers (posix
# thread model, which GoogleTest needs). Programs and the DLL link the
# compiler's runtime statically, so they run under Wine without further DLLs.
# SSE2 arithmetic keeps doubles rounding as IEEE doubles, as on 64-bit.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(MENSORA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MENSORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MENSORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MENSORA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MENSORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# CTest and test discovery run the Windows programs through Wine.
find_program(MENSORA_WINE NAMES wine)
if(MENSORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MENSORA_WINE})
endif()
