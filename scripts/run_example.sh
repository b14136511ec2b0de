#!/usr/bin/env bash
# Builds the Octave module vornakelstrid_p.mex into build/octave and runs scripts/example.m
# on the bundled CODE product (Unix compress). Run from anywhere; safe to run again.
#
#   scripts/run_example.sh [IONEX file]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
file="${1:-$root/tests/data/codg0080.20i.Z}"
build="$root/build"

# Packages: apt-get needs root; without it the script only checks.
if [ "$(id -u)" -eq 0 ]; then
  bash "$root/scripts/install-deps.sh"
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo bash "$root/scripts/install-deps.sh"
else
  bash "$root/scripts/install-deps.sh" || echo "Note: could not install missing packages (not root)." >&2
fi

# Only the module is built; the test suites keep whatever build/ was configured with.
cmake -S "$root" -B "$build" -DIONEX_BUILD_OCTAVE=ON -DIONEX_SANITIZE=OFF
cmake --build "$build" --target vornakelstrid_p_octave ionex_read_octave ionex_info_octave \
      ionex_interp_octave ionex_delay_octave ionex_octave_package_help --parallel "$(nproc 2>/dev/null || echo 2)"

if [ ! -f "$build/octave/vornakelstrid_p.mex" ]; then
  echo "The Octave module was not built (see the cmake output above)." >&2
  exit 1
fi

echo
# Octave 7 on Debian prints a spurious "ignoring const execution_exception" line when it
# exits; it is filtered out, the exit status is Octave's own.
set +e
octave-cli --no-gui --norc --quiet "$root/scripts/example.m" "$file" "$build/octave" 2>&1 \
  | grep -v -x 'error: ignoring const execution_exception& while preparing to exit'
status=${PIPESTATUS[0]}
set -e
exit "$status"
