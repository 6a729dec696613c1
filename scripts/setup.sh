#!/usr/bin/env bash
# Shared set-up for the run and test commands: installs what is missing, starts a
# virtual display when there is none, and prepares private Wine prefixes.
# Source it; it defines functions and exports nothing until they are called.
set -euo pipefail

TOLVIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$TOLVIN_ROOT/build/windows"

need_packages() {
    local missing=()
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
    command -v cmake >/dev/null || missing+=(cmake)
    command -v wine >/dev/null || missing+=(wine wine64)
    command -v Xvfb >/dev/null || missing+=(xvfb)
    command -v xdotool >/dev/null || missing+=(xdotool)
    command -v import >/dev/null || missing+=(imagemagick)
    command -v xdpyinfo >/dev/null || missing+=(x11-utils)
    command -v Xorg >/dev/null || missing+=(xserver-xorg-core)
    [ -f /usr/lib/xorg/modules/drivers/dummy_drv.so ] || missing+=(xserver-xorg-video-dummy)
    command -v xrandr >/dev/null || missing+=(x11-xserver-utils)
    [ -f /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf ] || missing+=(fonts-ipafont-gothic)
    [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

build_program() {
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$(nproc)"
}

X_SERVER_PIDS=()

# Starts the X server given as arguments (after the display name) on the first free display,
# waits until it answers and sets X_SERVER_NAME to its name. Stopped when the script ends.
start_x_server() {
    local server="$1" n=99
    shift
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    "$server" ":$n" "$@" >/dev/null 2>&1 &
    X_SERVER_PIDS+=($!)
    for _ in $(seq 50); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    trap 'stop_display' EXIT
    X_SERVER_NAME=":$n"
}

# A private Xvfb with a white root window.
start_xvfb() {
    start_x_server Xvfb -screen 0 "${TOLVIN_SCREEN:-1920x1080x24}" -wr -nolisten tcp
}

# Starts Xvfb unless a usable display is already set.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    start_xvfb
    export DISPLAY="$X_SERVER_NAME"
}

# A second private display, for a test group that runs beside the others (TOLVIN_DISPLAY2).
start_second_display() {
    start_xvfb
    export TOLVIN_DISPLAY2="$X_SERVER_NAME"
}

# A display of two monitors side by side (Xorg's dummy driver), white desktop, for the monitor
# tests (TOLVIN_MONITORS_DISPLAY).
start_monitors_display() {
    start_x_server Xorg -config "$TOLVIN_ROOT/tests/e2e/two-monitors.conf" -noreset -nolisten tcp -wr \
        -logfile "$TOLVIN_ROOT/build/xorg-monitors.log"
    export TOLVIN_MONITORS_DISPLAY="$X_SERVER_NAME"
}

# After a red run: each failed group with its failed tests, where the whole output is, and the
# pictures of the desktop the tests saved at their first failed check (turned into PNG).
report_failures() {
    local log="$BUILD_DIR/Testing/Temporary/LastTest.log" shot
    echo
    echo "== What failed"
    awk '/^[0-9]+\/[0-9]+ Testing: / { group = $3 }
         /^\[  FAILED  \] [A-Za-z]/ && !seen[group " " $4]++ { print "  " group ": " $4; named[group] = 1 }
         /^Test Failed\./ { failed[group] = 1 }
         END { for (g in failed) if (!named[g]) print "  " g ": failed (ended, timed out or crashed: see its output)" }' \
        "$log"
    echo "  output of every test: $log"
    for shot in "$BUILD_DIR"/failures/*/*.bmp; do
        [ -f "$shot" ] || continue
        convert "$shot" -alpha off "${shot%.bmp}.png" 2>/dev/null && rm -f "$shot" && shot="${shot%.bmp}.png"
        echo "  the desktop at the first failed check: $shot"
    done
}

stop_display() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    local pid
    for pid in "${X_SERVER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
}

# One registry value in the current prefix. A new prefix's server can still be busy with its first
# start on a loaded machine: the value is written again a few times before the set-up gives up,
# saying which value it could not write.
set_registry() {
    local try
    for try in 1 2 3 4 5; do
        wine reg add "$@" /f >/dev/null 2>&1 && return 0
        sleep "$try"
    done
    echo "Could not write $1 $3 in the Wine prefix $WINEPREFIX" >&2
    return 1
}

# Prepares (once) a private Wine prefix with the Japanese font link, unmanaged
# windows (no window manager here) and the given display scaling in dpi.
prepare_prefix() {
    local prefix="$1" dpi="$2"
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
    if [ ! -f "$prefix/.tolvin-ready-$dpi" ]; then
        echo "Preparing the Wine prefix $prefix ($dpi dpi)"
        mkdir -p "$prefix"
        wineboot -i >/dev/null 2>&1 || true
        local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
        for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS UI Gothic"; do
            set_registry "$key" /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic'
        done
        set_registry 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
        set_registry 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
        touch "$prefix/.tolvin-ready-$dpi"
    fi
    # A server left running from an earlier run keeps its desktop on that run's display.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 || true
    # Start Wine's background services now, detached: started later by a test they
    # would inherit its output pipe and keep the test runner waiting.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
