#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for a while on a scratch copy of its seed corpus, so that the
# repository is never modified.
#
#   scripts/fuzz.sh [seconds-per-target] [target ...]     (default 60 s; all targets)
#
# Targets: line_source, ionex_reader, ionex_read, ionex_write, gateway, ionex_query. Exits non-zero when any target finds a
# crash, hang, leak or sanitizer report; the offending inputs are kept in
# build-fuzz/findings/<target>/. Minimise one with
#   build-fuzz/fuzz/fuzz_<target> -minimize_crash=1 -runs=20000 <input>
# and save the result in tests/data/crashers/<target>/ (the replay tests run it from then on).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(line_source ionex_reader ionex_read ionex_write gateway ionex_query)
build=build-fuzz

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIONEX_FUZZ=ON \
  -DIONEX_BUILD_TESTS=OFF -DIONEX_BUILD_OCTAVE=OFF -DIONEX_BUILD_MATLAB=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

failed=()
for t in "${targets[@]}"; do
  mkdir -p "$work/$t" "$build/findings/$t"
  cp -r "fuzz/corpus/$t/." "$work/$t/"
  # Inputs that broke a target once are run first: if one breaks it again, the run stops.
  extra=()
  if [ -d "tests/data/crashers/$t" ] && [ -n "$(ls -A "tests/data/crashers/$t")" ]; then
    extra=("tests/data/crashers/$t")
  fi
  log="$build/findings/$t.log"
  # The +ionex reader promises memory bounded by the file: no single allocation may be large.
  limits=()
  [ "$t" = ionex_read ] && limits=(-malloc_limit_mb=64)
  echo "== fuzzing $t for ${seconds}s"
  if "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 "${limits[@]}" \
       -dict=fuzz/ionex.dict -print_final_stats=1 -artifact_prefix="$build/findings/$t/" \
       "$work/$t" "${extra[@]}" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true
    grep -E '^stat::number_of_executed_units' "$log" || true
  else
    echo "FINDING in $t: see $log and $build/findings/$t/"
    grep -E 'ERROR|SUMMARY|invariant broken|Test unit written' "$log" | head -20 || true
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in: ${failed[*]}"
  exit 1
fi
echo "fuzz.sh: no findings"
