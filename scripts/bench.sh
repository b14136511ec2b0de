#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the speed table of every reading path, the
# LZW decoder against `compress -dc`, and the peak memory of single calls.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DIONEX_BUILD_BENCH=ON \
      -DIONEX_BUILD_TESTS=OFF -DIONEX_BUILD_OCTAVE=OFF > /dev/null
cmake --build build-bench -j "$(nproc)" --target ionex_bench lzw_bench query_bench > /dev/null

build-bench/bench/ionex_bench
echo
build-bench/bench/lzw_bench

# Wall time and peak resident memory of one call in each mode on the high-rate file, each in
# a fresh process (so the output's memory is new to it), as /usr/bin/time -v reports them.
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
build-bench/bench/ionex_bench --write "$files" > /dev/null
echo
echo "One call on HIGH0010.24I in a fresh process: wall time, peak resident memory"
for mode in none point area whole; do
  for form in HIGH0010.24I HIGH0010.24I.gz HIGH0010.24I.Z; do
    /usr/bin/time -v build-bench/bench/ionex_bench --once "$mode" "$files/$form" 2>&1 |
      awk -v m="$mode" -v f="$form" -F': ' '
        /Elapsed \(wall clock\)/ { t = $2 }
        /Maximum resident set size/ { kb = $2 }
        END { printf "  %-6s %-16s %10s s %8s KB\n", m, f, t, kb }'
    if [ "$mode" = none ]; then break; fi
  done
done
echo
echo "Map queries of ionex.interp and ionex.delay (core functions, one core)"
build-bench/bench/query_bench
build-bench/bench/query_bench --random-times
