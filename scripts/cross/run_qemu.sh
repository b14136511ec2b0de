#!/usr/bin/env bash
# Runs an AArch64 Linux program under QEMU user mode, its libraries taken from the cross
# toolchain's root (QEMU_LD_PREFIX, default /usr/aarch64-linux-gnu).
set -euo pipefail
exec qemu-aarch64 -L "${QEMU_LD_PREFIX:-/usr/aarch64-linux-gnu}" "$@"
