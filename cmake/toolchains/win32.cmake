# 32-bit Windows with MinGW-w64: the shipped product. Nothing here can run its
# binaries (no 32-bit wine), so it has no emulator and its tests are built only.
set(MARROWEL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
