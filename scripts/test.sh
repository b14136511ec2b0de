#!/usr/bin/env bash
# Runs every test: the normal build (with the Octave module and its end-to-end tests when
# Octave is there), whose gzip inflater is ISA-L where it is installed, a sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) of every C++ test with zlib's inflater, so
# that both inflaters pass every test, a ThreadSanitizer build of the concurrent-read test,
# a short fuzzing run, and every C++ suite cross-built for Windows x64 (under Wine) and
# 64-bit ARM (under QEMU). Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DIONEX_SANITIZE=ON \
      -DIONEX_BUILD_OCTAVE=OFF -DIONEX_BUILD_MATLAB=OFF -DIONEX_WITH_ISAL=OFF
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ctest --output-on-failure -j "$jobs")

# The concurrent-read test under ThreadSanitizer: a small build of that one program.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIONEX_SANITIZE_THREAD=ON \
      -DIONEX_BUILD_OCTAVE=OFF -DIONEX_BUILD_MATLAB=OFF
cmake --build build-tsan -j "$jobs" --target thread_tests
(cd build-tsan && ctest --output-on-failure -L threads)

# A short fuzzing run of every target (AddressSanitizer + UndefinedBehaviorSanitizer under
# libFuzzer), when clang and its libFuzzer runtime are installed.
fuzz_probe=$(mktemp -d)
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  > "$fuzz_probe/probe.cpp"
if command -v clang++ >/dev/null &&
   clang++ -fsanitize=fuzzer "$fuzz_probe/probe.cpp" -o "$fuzz_probe/probe" 2>/dev/null; then
  rm -rf "$fuzz_probe"
  scripts/fuzz.sh 30
else
  rm -rf "$fuzz_probe"
  echo "test.sh: clang with libFuzzer not found, fuzzing skipped"
fi

# The Windows (MinGW-w64, run under Wine) and 64-bit ARM (run under QEMU user mode) builds of
# every C++ test, and the digest of every result compared with this build's.
scripts/test_cross.sh windows arm64
