#!/usr/bin/env bash
# Builds tolvin.exe and runs it under Wine. With a display it opens the program there. Without
# one it starts a virtual display, opens a page of text (this README in Wine's notepad), puts
# marker 1 over a line of it, saves a screenshot, prints its path and stops the program.
# Arguments are passed to the program (for example: T B).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$TOLVIN_ROOT"
need_packages
build_program
had_display=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then had_display=0; fi
[ "$had_display" = 1 ] || export TOLVIN_SCREEN="${TOLVIN_SCREEN:-1024x600x24}"
ensure_display
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-96" "${TOLVIN_DPI:-96}"
if [ "$had_display" = 1 ]; then
    exec wine "$BUILD_DIR/tolvin.exe" "$@"
fi
wait_for() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }
# The page: a plain window of text under the marker.
wine notepad "$(winepath -w "$TOLVIN_ROOT/README.md")" >/dev/null 2>&1 &
wait_for 'xdotool search --name "README.md" >/dev/null 2>&1'
wine "$BUILD_DIR/tolvin.exe" b "$@" >/dev/null 2>&1 &
wait_for 'xdotool search --name "^Tolvin No.1$" >/dev/null 2>&1'
sleep 1
# Drag marker 1 by its grip from the top of the screen down onto a line of the page.
read -r sw _ < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
grip_x=$((sw - 20))
xdotool mousemove "$grip_x" 10 sleep 0.3 mousedown 1
for y in 40 80 120 160 182; do xdotool mousemove "$grip_x" "$y" sleep 0.05; done
xdotool mouseup 1 mousemove $((sw / 2)) 400
sleep 1.5
shot="$TOLVIN_ROOT/build/screenshot.png"
import -window root "$shot"
echo "Screenshot: $shot"
wineserver -k >/dev/null 2>&1 || true
