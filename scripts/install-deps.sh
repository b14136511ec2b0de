#!/usr/bin/env bash
# Installs what building and testing need on Debian, when it is missing. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config zlib1g-dev libisal-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  octave liboctave-dev octave-parallel
  ncompress gzip time
  clang libclang-rt-14-dev
  gnuplot-nox ghostscript fonts-freefont-otf
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
