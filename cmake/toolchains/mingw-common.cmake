# Shared part of the MinGW-w64 toolchains; the including file sets
# MARROWEL_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: the default win32 thread model of Debian's GCC 12 has
# no std::thread or std::mutex.
set(CMAKE_C_COMPILER ${MARROWEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MARROWEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MARROWEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MARROWEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Fully static runtime (libgcc, libstdc++, winpthread): the binaries import only
# system DLLs and need nothing installed beside them.
set(_marrowel_static_runtime "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT ${_marrowel_static_runtime})
set(CMAKE_SHARED_LINKER_FLAGS_INIT ${_marrowel_static_runtime})
set(CMAKE_MODULE_LINKER_FLAGS_INIT ${_marrowel_static_runtime})
