#!/usr/bin/env bash
# Runs a Windows program under Wine, in the prefix named by WINEPREFIX (default: one under
# the system's temporary folder, made on first use), with Wine's own messages off.
set -euo pipefail
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/ionex-wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
