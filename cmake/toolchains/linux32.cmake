# 32-bit x86 Linux with the system GCC and Debian's multilib (g++-multilib).
# Declared a cross build so CMake runs its binaries through qemu-i386: the
# kernel of our machines does not execute 32-bit code directly.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)

# -L / makes qemu resolve the program's interpreter (/lib/ld-linux.so.2) and
# libraries (/usr/lib32) from the host's own multilib installation.
find_program(MARROWEL_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${MARROWEL_QEMU_I386} -L /)
