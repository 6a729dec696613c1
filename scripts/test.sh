#!/usr/bin/env bash
# Builds the program and every test, then runs them all under Wine on private virtual displays
# (unit, in-process window tests, end to end at 96 and 144 dpi, real X input). The end-to-end
# group at 144 dpi runs on a second display, beside the others. Arguments go to ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$TOLVIN_ROOT"
need_packages
build_program
# The tests read a white desktop: always use private virtual displays.
unset DISPLAY
ensure_display
start_second_display
start_monitors_display
# Three prefixes, each with its desktop on its own display, prepared side by side.
(DISPLAY="$TOLVIN_DISPLAY2" prepare_prefix "$TOLVIN_ROOT/build/wineprefix-144" 144) &
preparing=($!)
(DISPLAY="$TOLVIN_MONITORS_DISPLAY" prepare_prefix "$TOLVIN_ROOT/build/wineprefix-monitors" 96) &
preparing+=($!)
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-96" 96
for pid in "${preparing[@]}"; do # not the display servers, which run on in the background
    wait "$pid" || { echo "A Wine prefix could not be prepared (see above)" >&2; exit 1; }
done
status=0
rm -rf "$BUILD_DIR/failures"
ctest --preset windows -j 4 "$@" || status=$?
[ "$status" -eq 0 ] || report_failures
for prefix in wineprefix-144 wineprefix-monitors; do
    WINEPREFIX="$TOLVIN_ROOT/build/$prefix" wineserver -k >/dev/null 2>&1 || true
done
exit $status
