#!/usr/bin/env bash
# Runs an AArch64 Linux program under QEMU user mode, its loader and libraries taken from the
# cross toolchain's root (QEMU_LD_PREFIX, default /usr/aarch64-linux-gnu).
#
# The loader and the C library must come from the same build of glibc. QEMU looks a name up
# under the prefix first and falls back to the host's own path, and the loader also searches
# /lib/aarch64-linux-gnu, where the arm64 zlib package brings another glibc (libc6:arm64) that
# may be a newer Debian revision than the cross toolchain's. Mixed, the two disagree on their
# private shared state and the first pthread_create never returns. LD_LIBRARY_PATH puts the
# toolchain's libraries ahead of every other place; zlib is still found where it is.
set -euo pipefail
prefix=${QEMU_LD_PREFIX:-/usr/aarch64-linux-gnu}
exec qemu-aarch64 -L "$prefix" -E LD_LIBRARY_PATH="$prefix/lib" "$@"
