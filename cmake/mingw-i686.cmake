# Cross toolchain: 32-bit Windows with MinGW-w64 (posix threads), so the
# program can load the existing 32-bit stdcall plug-in and port DLLs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZP_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCross.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
