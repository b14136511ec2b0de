#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the speed table of every reading path, the
# LZW decoder against `compress -dc`, and the peak memory of single calls.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DIONEX_BUILD_BENCH=ON \
      -DIONEX_BUILD_TESTS=OFF -DIONEX_BUILD_OCTAVE=OFF > /dev/null
cmake --build build-bench -j "$(nproc)" --target ionex_bench lzw_bench > /dev/null

build-bench/bench/ionex_bench
echo
build-bench/bench/lzw_bench

# Peak resident memory of one call in each mode on the high-rate file, and of reading only
# its lines, as /usr/bin/time -v reports it for the whole process.
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
build-bench/bench/ionex_bench --write "$files" > /dev/null
echo
echo "Peak resident memory, one call on HIGH0010.24I (whole process):"
for mode in point area whole; do
  for form in HIGH0010.24I HIGH0010.24I.gz HIGH0010.24I.Z; do
    kb=$(/usr/bin/time -v build-bench/bench/ionex_bench --once "$mode" "$files/$form" 2>&1 \
         | awk -F': ' '/Maximum resident set size/ {print $2}')
    printf '  %-6s %-16s %8s KB\n' "$mode" "$form" "$kb"
  done
done
kb=$(/usr/bin/time -v build-bench/bench/ionex_bench --once none "$files/HIGH0010.24I" 2>&1 \
     | awk -F': ' '/Maximum resident set size/ {print $2}')
printf '  %-6s %-16s %8s KB  (the process without a call)\n' "none" "" "$kb"
