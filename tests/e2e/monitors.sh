#!/usr/bin/env bash
# Runs the two-monitor end-to-end tests on the display scripts/setup.sh starts with Xorg's dummy
# driver (tests/e2e/two-monitors.conf): first with the second monitor right of the primary one,
# then left of it (negative coordinates). Wine takes a new screen origin only at a fresh start of
# its server, so the layout changes between the runs; within a run the test asks for changes
# that keep the origin (unplugging the second monitor) through files in $TOLVIN_RIG.
set -u
exe="$1"
tolvin="$2"
if [ -z "${TOLVIN_MONITORS_DISPLAY:-}" ]; then
    echo "no two-monitor display (scripts/test.sh starts one)"
    exit 1
fi
export DISPLAY="$TOLVIN_MONITORS_DISPLAY"
rig="$(mktemp -d)"
export TOLVIN_RIG="$rig"
right() { xrandr --output DUMMY0 --primary --pos 0x0 --output DUMMY1 --auto --pos 1280x0; }
left() { xrandr --output DUMMY1 --auto --pos 0x0 --output DUMMY0 --primary --pos 1024x0; }

# Runs the tests matching $1, answering their requests until they end.
run() {
    wine "$exe" "$tolvin" --gtest_filter="$1" >"$rig/log" 2>&1 </dev/null &
    local pid=$! command
    while kill -0 "$pid" 2>/dev/null; do
        if [ -f "$rig/request" ]; then
            command="$(tr -d '\r\n' <"$rig/request")"
            rm -f "$rig/request"
            case "$command" in
                unplug) xrandr --output DUMMY1 --off ;;
                plug) right ;;
                *) echo "unknown rig request: $command" ;;
            esac
            touch "$rig/done"
        fi
        sleep 0.1
    done
    wait "$pid"
    local status=$?
    cat "$rig/log"
    return $status
}

status=0
right
wineserver -k >/dev/null 2>&1
run 'Monitors.AMarkerDragged*' || status=1
left
wineserver -k >/dev/null 2>&1
run 'Monitors.ASecondMonitorLeft*' || status=1
right
wineserver -k >/dev/null 2>&1
rm -rf "$rig"
exit $status
