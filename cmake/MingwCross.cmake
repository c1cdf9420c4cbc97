# What both cross toolchains share; each sets ZP_TRIPLE and the processor,
# then includes this file.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${ZP_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZP_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZP_TRIPLE}-windres)
set(CMAKE_AR           ${ZP_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ZP_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(ZP_DLLTOOL         ${ZP_TRIPLE}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${ZP_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# No runtime DLLs to ship: libgcc, libstdc++ and winpthread go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
