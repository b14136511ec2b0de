#!/usr/bin/env bash
# The host benchmark: builds the Octave module and the baseline MEX file (Release), writes the
# daily and high-rate files in all three forms, and times everything in one Octave session
# (bench/octave/bench_octave.m): the table, then each goal ratio with its verdict.
#   bash scripts/bench_octave.sh [ROUNDS]
# IONEX_WITH_ISAL=OFF builds the module with zlib's inflater instead (in build-bench-zlib).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-9}
with_isal=${IONEX_WITH_ISAL:-ON}
build=build-bench
if [ "$with_isal" = OFF ]; then build=build-bench-zlib; fi
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DIONEX_BUILD_BENCH=ON -DIONEX_WITH_ISAL="$with_isal" \
      -DIONEX_BUILD_TESTS=OFF -DIONEX_BUILD_OCTAVE=ON > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
grep "gzip inflater" "$build/configure.log"
cmake --build "$build" -j "$(nproc)" --target vornakelstrid_p_octave ionex_read_octave ionex_info_octave ionex_write_octave ionex_octave_package_help bench_baseline_octave ionex_bench > /dev/null

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
"$build/bench/ionex_bench" --write "$files" > /dev/null
octave-cli --no-gui --norc --eval "
  addpath('$PWD/$build/octave', '$PWD/$build/octave-bench', '$PWD/bench/octave');
  bench_octave('$files', $rounds);"
