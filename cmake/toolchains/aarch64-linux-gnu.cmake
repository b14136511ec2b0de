# 64-bit ARM Linux (AArch64) with Debian's cross compiler; zlib from the arm64 multiarch
# package zlib1g-dev:arm64 (linked statically). Tests run under QEMU user mode with the
# cross toolchain's root as the library prefix (scripts/cross/run_qemu.sh).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_triple}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ZLIB_INCLUDE_DIR /usr/include CACHE PATH "zlib headers (the same for every architecture)")
set(ZLIB_LIBRARY /usr/lib/${_triple}/libz.a CACHE FILEPATH "zlib for AArch64 (static)")

get_filename_component(_scripts ${CMAKE_CURRENT_LIST_DIR}/../../scripts/cross ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_scripts}/run_qemu.sh)
