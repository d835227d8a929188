# Cross build for 32-bit x86 Linux (Debian's i386: i686, x87 floating point) with Debian's
# g++-i686-linux-gnu. Target libraries come from the multiarch packages (e.g.
# libgtest-dev:i386, zlib1g-dev:i386) under /usr/lib/i386-linux-gnu; ctest runs the target
# programs under qemu-i386. Used by scripts/cross-test.sh.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(LUMORA_CROSS_TRIPLE i686-linux-gnu)
set(CMAKE_C_COMPILER ${LUMORA_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${LUMORA_CROSS_TRIPLE}-g++)
# Debian's multiarch directory for this target is named after i386, not i686.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# Programs (pkg-config, the shell) are the build machine's; libraries, headers and CMake
# packages are searched in the cross toolchain's tree and in the multiarch directories.
set(CMAKE_FIND_ROOT_PATH /usr/${LUMORA_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# ctest (and test discovery) run target programs through this, with Debian's multiarch
# runtime (libc6:i386, libstdc++6:i386): its loader and libraries are the ones the host's
# ld.so.cache names, and the ones a target program started by a test gets from the kernel.
# The cross toolchain's own glibc under /usr/${LUMORA_CROSS_TRIPLE}/lib is another build
# (it is only linked against): "-L /usr/${LUMORA_CROSS_TRIPLE}" would start programs with its
# loader but the multiarch libc.so.6, and that mix hangs in pthread_create. "-L /" also keeps
# qemu from looking under its default prefix /etc/qemu-binfmt/.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /)
