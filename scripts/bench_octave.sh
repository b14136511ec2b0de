#!/usr/bin/env bash
# The host benchmark: builds the Octave module and the baseline MEX file (Release), writes the
# daily and high-rate files in all three forms, and times everything in one Octave session
# (bench/octave/bench_octave.m): the table, then each goal ratio with its verdict.
#   bash scripts/bench_octave.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-9}
mkdir -p build-bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DIONEX_BUILD_BENCH=ON \
      -DIONEX_BUILD_TESTS=OFF -DIONEX_BUILD_OCTAVE=ON > build-bench/configure.log 2>&1 ||
  { cat build-bench/configure.log; exit 1; }
grep "gzip inflater" build-bench/configure.log
cmake --build build-bench -j "$(nproc)" --target vornakelstrid_p_octave bench_baseline_octave ionex_bench > /dev/null

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
build-bench/bench/ionex_bench --write "$files" > /dev/null
octave-cli --no-gui --norc --eval "
  addpath('$PWD/build-bench/octave', '$PWD/build-bench/octave-bench', '$PWD/bench/octave');
  bench_octave('$files', $rounds);"
