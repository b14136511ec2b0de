#!/usr/bin/env bash
# Builds GoogleTest from Debian's sources (/usr/src/googletest, package googletest) with the
# compiler of a CMake toolchain file and installs it under a prefix; skipped when the prefix
# already holds a build made from the same toolchain file.
# Usage: build_googletest.sh <toolchain file> <work dir> <install prefix>
set -euo pipefail
toolchain=$1
work=$2
prefix=$3
source_dir=/usr/src/googletest
stamp="$prefix/.toolchain"
if [ -f "$stamp" ] && cmp -s "$stamp" "$toolchain"; then
  exit 0
fi
cmake -S "$source_dir" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
      -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$work" -j "$(nproc)" >/dev/null
cmake --install "$work" >/dev/null
cp "$toolchain" "$stamp"
