# Windows x64 with MinGW-w64 (the posix threads variant, for std::thread), on a Debian host.
# Programs are linked statically, so that Wine runs them without any DLL of the toolchain;
# tests run under scripts/cross/run_wine.sh (Wine with a prefix of its own).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib of Debian's libz-mingw-w64-dev, the static archive.
set(ZLIB_INCLUDE_DIR /usr/${_triple}/include CACHE PATH "zlib headers for Windows")
set(ZLIB_LIBRARY /usr/${_triple}/lib/libz.a CACHE FILEPATH "zlib for Windows (static)")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
get_filename_component(_scripts ${CMAKE_CURRENT_LIST_DIR}/../../scripts/cross ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_scripts}/run_wine.sh)
