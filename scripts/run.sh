#!/usr/bin/env bash
# Builds tolvin.exe and runs it under Wine. Without a display it starts a virtual one,
# waits for marker 1, saves a screenshot, prints its path and stops the program.
# Arguments are passed to the program (for example: T B).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$TOLVIN_ROOT"
need_packages
build_program
had_display=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then had_display=0; fi
ensure_display
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-96" "${TOLVIN_DPI:-96}"
if [ "$had_display" = 1 ]; then
    exec wine "$BUILD_DIR/tolvin.exe" "$@"
fi
wine "$BUILD_DIR/tolvin.exe" "$@" &
for _ in $(seq 100); do
    xdotool search --name "Tolvin No.1" >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1
shot="$TOLVIN_ROOT/build/screenshot.png"
import -window root "$shot"
echo "Screenshot: $shot"
wineserver -k >/dev/null 2>&1 || true
