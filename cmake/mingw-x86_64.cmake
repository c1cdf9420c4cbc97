# Cross toolchain: 64-bit Windows with MinGW-w64 (posix threads): the variant
# that runs under 64-bit Wine where the kernel runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZP_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwCross.cmake)

# 64-bit Wine's own loader: Debian's "wine" prefers the 32-bit one whenever
# it is installed, which a kernel without 32-bit support cannot start.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
