#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the speed table of every reading path, the
# LZW decoder against `compress -dc`, and the peak memory of single calls (one of them on a
# tiny file whose header claims 999999 maps).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DIONEX_BUILD_BENCH=ON \
      -DIONEX_BUILD_TESTS=OFF -DIONEX_BUILD_OCTAVE=OFF > /dev/null
cmake --build build-bench -j "$(nproc)" --target ionex_bench lzw_bench query_bench write_bench > /dev/null

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

# A file of under a kilobyte whose header claims 999999 maps of a 2-by-721 grid: the whole
# grid call refuses it instead of filling 11.5 GB of NaN maps.
{
  printf '%-60s%-20s\n' '     1.0            IONOSPHERE MAPS     GPS' 'IONEX VERSION / TYPE' \
    '  2016     4    28     0     0     0' 'EPOCH OF FIRST MAP' '  7200' 'INTERVAL' \
    '999999' '# OF MAPS IN FILE' '     2' 'MAP DIMENSION' '  87.5  85.0  -2.5' 'LAT1 / LAT2 / DLAT' \
    ' -180.0 180.0   0.5' 'LON1 / LON2 / DLON' '    -1' 'EXPONENT' '' 'END OF HEADER'
} > "$files/claims999999.16i"
echo
echo "One whole-grid call on a $(wc -c < "$files/claims999999.16i")-byte file claiming 999999 maps: wall time, peak resident memory"
/usr/bin/time -v build-bench/bench/ionex_bench --once whole "$files/claims999999.16i" 2>&1 |
  awk -F': ' '/Elapsed \(wall clock\)/ { t = $2 } /Maximum resident set size/ { kb = $2 }
              END { printf "  whole  claims999999.16i %10s s %8s KB\n", t, kb }'
echo
echo "Map queries of ionex.interp and ionex.delay (core functions, one core)"
build-bench/bench/query_bench
build-bench/bench/query_bench --random-times

# ionex.write's core against the +ionex reader's: the daily file, plain and gzip.
build-bench/bench/write_bench
