# 64-bit Windows with MinGW-w64; binaries run under wine64.
set(MARROWEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Debian's wine wrapper prefers the 32-bit loader, which cannot start here, and
# the wine64 package keeps its loader off PATH: run the loader itself, through
# a script that dependencies.cmake writes into the build tree (own prefix there).
find_program(MARROWEL_WINE64_LOADER wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
