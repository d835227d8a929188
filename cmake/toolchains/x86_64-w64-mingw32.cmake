# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread and the C++ runtime's locks need). Target libraries
# come from the toolchain's tree /usr/x86_64-w64-mingw32 (zlib: libz-mingw-w64-dev) and from
# prefixes given in CMAKE_PREFIX_PATH or <Package>_DIR (GoogleTest, built for the target by
# scripts/windows.sh). ctest runs the target programs under Wine. Used by scripts/windows.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMORA_CROSS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMORA_CROSS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMORA_CROSS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMORA_CROSS_TRIPLE}-windres)

# Programs (pkg-config, the shell) are the build machine's; libraries, headers and CMake
# packages are searched in the cross toolchain's tree first, then where the prefixes given say.
set(CMAKE_FIND_ROOT_PATH /usr/${LUMORA_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# printf and friends from MinGW's C99 implementation rather than the system's msvcrt, which
# lacks %zu, %llu and %Lf on older Windows; struct stat, fstat, fseeko and ftello with 64-bit
# sizes and offsets, so that files of 2 GiB and more are measured right.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -D_FILE_OFFSET_BITS=64")

# The programs carry the C and C++ runtimes and the thread library inside them, so a .exe
# runs on its own, on Windows and under Wine, without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib (the recorder's PNG writer) as a static library, not the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# ctest (and test discovery) run target programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
