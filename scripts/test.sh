#!/usr/bin/env bash
# Builds the program and every test, then runs them all under Wine on a virtual display
# (unit, in-process window tests, end to end at 96 and 144 dpi, real X input).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$TOLVIN_ROOT"
need_packages
build_program
# The tests read a white desktop: always use a private virtual display.
unset DISPLAY
ensure_display
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-144" 144
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-96" 96
WINEPREFIX="$TOLVIN_ROOT/build/wineprefix-144" wineserver -p >/dev/null 2>&1 || true
status=0
ctest --preset windows "$@" || status=$?
WINEPREFIX="$TOLVIN_ROOT/build/wineprefix-144" wineserver -k >/dev/null 2>&1 || true
exit $status
