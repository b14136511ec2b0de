#!/usr/bin/env bash
# Installs what the cross builds need on Debian, when it is missing (safe to run again):
# MinGW-w64 (posix threads) with zlib for Windows and Wine to run its programs; the AArch64
# cross compiler with zlib of the arm64 architecture and QEMU user mode; GoogleTest's
# sources, which scripts/cross/build_googletest.sh builds with each compiler.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64
  g++-aarch64-linux-gnu qemu-user zlib1g-dev:arm64
  googletest cmake
)

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  echo "Adding the arm64 architecture (for zlib1g-dev:arm64)"
  dpkg --add-architecture arm64
  apt-get update -qq
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
