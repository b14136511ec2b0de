#!/usr/bin/env bash
# The cross builds: the core, the stand-in host, the gateways and every GoogleTest suite
# (with the fuzz replays and the result digest) built for Windows x64 with MinGW-w64 and run
# under Wine, and built for 64-bit ARM Linux and run under QEMU user mode. GoogleTest is
# built from its sources with each compiler. Then the digest of every result of reading the
# bundled files is compared with the native build's: every target must give the same bytes.
#
# Usage: scripts/test_cross.sh [windows] [arm64]     (both when none is named)
# The native digest comes from $NATIVE_BUILD (default build/), built there when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
start=$SECONDS
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(windows arm64)
jobs=$(nproc)
root=$repo/build-cross
native_build=${NATIVE_BUILD:-$repo/build}
mkdir -p "$root"

scripts/install-cross-deps.sh
echo "test_cross.sh: packages ready after $((SECONDS - start)) s"

# The native digest, the reference for every target.
if [ ! -x "$native_build/tests/digest/result_digest" ]; then
  cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$native_build" -j "$jobs" --target result_digest >/dev/null
fi
"$native_build/tests/digest/result_digest" tests/data > "$root/digest-native.txt"

export WINEPREFIX=${WINEPREFIX:-$root/windows/wineprefix}
summary=()
status=0
for target in "${targets[@]}"; do
  stage=$SECONDS
  case $target in
    windows) toolchain=$repo/cmake/toolchains/mingw-w64-x86_64.cmake; suffix=.exe
             runner=$repo/scripts/cross/run_wine.sh ;;
    arm64)   toolchain=$repo/cmake/toolchains/aarch64-linux-gnu.cmake; suffix=
             runner=$repo/scripts/cross/run_qemu.sh ;;
    *) echo "test_cross.sh: unknown target $target (windows, arm64)"; exit 2 ;;
  esac
  dir=$root/$target
  if [ "$target" = windows ]; then
    # Made once before anything runs: the test discovery starts programs in parallel.
    "$runner" wineboot -i >/dev/null 2>&1 || true
  fi
  scripts/cross/build_googletest.sh "$toolchain" "$dir/googletest-build" "$dir/googletest"
  cmake -S . -B "$dir/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DIONEX_BUILD_OCTAVE=OFF -DIONEX_BUILD_MATLAB=OFF -DIONEX_WITH_ISAL=OFF \
        -DIONEX_BUILD_BENCH=OFF -DGTest_DIR="$dir/googletest/lib/cmake/GTest" >/dev/null
  cmake --build "$dir/build" -j "$jobs"
  built=$((SECONDS - stage))

  set +e
  (cd "$dir/build" && ctest --output-on-failure -j "$jobs" --timeout 900) > "$dir/ctest.log" 2>&1
  ctest_status=$?
  set -e
  tail -n 15 "$dir/ctest.log"
  # Each GoogleTest program runs once (tests/CMakeLists.txt); its summary lines give the cases.
  log=$dir/build/Testing/Temporary/LastTest.log
  sum() { sed -n "s/^.*$1 \([0-9]*\) tests\{0,1\}[,. ].*/\1/p" "$log" | awk '{n += $1} END {print n + 0}'; }
  cases=$(sum '\[==========\]')
  passed=$(sum '\[  PASSED  \]')
  skipped=$(sum '\[  SKIPPED \]')
  failed=$(sum '\[  FAILED  \]')
  others=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$dir/ctest.log" | tail -n 1)
  tr -d '\r' < "$log" | grep '^\[  SKIPPED \] [A-Za-z]' | grep -v ' ms)$' | sort -u > "$dir/skipped.txt" || true

  # The same bytes of every result as the native build (Windows writes CR LF line ends).
  (cd "$repo" && "$runner" "$dir/build/tests/digest/result_digest$suffix" tests/data) | tr -d '\r' > "$dir/digest.txt"
  if cmp -s "$root/digest-native.txt" "$dir/digest.txt" && [ -s "$dir/digest.txt" ]; then
    digest="same as native ($(wc -l < "$dir/digest.txt") results)"
  else
    digest="DIFFERS from native"
    diff "$root/digest-native.txt" "$dir/digest.txt" || true
    status=1
  fi
  [ "$ctest_status" -eq 0 ] || status=1
  summary+=("$target: $cases GoogleTest cases, $passed passed, $failed failed, $skipped skipped (${others:-0} ctest programs and replays); digest $digest; build $built s, total $((SECONDS - stage)) s")
done
[ -z "${WINEPREFIX:-}" ] || WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true

echo "== test_cross.sh ($((SECONDS - start)) s)"
printf '   %s\n' "${summary[@]}"
for target in "${targets[@]}"; do
  sed "s/^/   skipped on $target: /" "$root/$target/skipped.txt"
done
exit $status
