#!/usr/bin/env bash
# The benchmark of the real program, as a user runs it: starts tolvin.exe, adds markers through its
# own panel menu (the X pointer and keyboard), lets them rest and reads, from outside (/proc), the
# CPU time of the program and of the Wine server over BENCH_SECONDS (30) seconds. Prints one table.
#
#   scripts/bench.sh             this build
#   scripts/bench.sh REVISION    this build and REVISION (built in a work tree under build/), side
#                                by side, measured in turns so both come from the same minutes
#
# BENCH_ROUNDS (2) turns each, of BENCH_COUNTS ("3 100 follow") markers, "follow" being one marker
# that follows the resting pointer; the figures are the lowest and highest of the turns. The costs of
# single calls (a tick, a line search, a picture) are the in-process benchmark's, tolvin_bench.exe.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$TOLVIN_ROOT"
need_packages
rest_s=${BENCH_SECONDS:-30}
rounds=${BENCH_ROUNDS:-2}
read -r -a counts <<<"${BENCH_COUNTS:-3 100 follow}"

build_program >/dev/null
names=("$(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src || echo '+changes')")
exes=("$BUILD_DIR/tolvin.exe")
if [ $# -ge 1 ]; then
    rev=$(git rev-parse --short "$1")
    tree="$TOLVIN_ROOT/build/bench-$rev"
    [ -d "$tree" ] || git worktree add --detach "$tree" "$rev" >/dev/null 2>&1
    (cd "$tree" && cmake --preset windows >/dev/null && cmake --build --preset windows -j "$(nproc)" --target tolvin >/dev/null)
    names+=("$rev")
    exes+=("$tree/build/windows/tolvin.exe")
fi

unset DISPLAY
export TOLVIN_SCREEN=1920x1080x24
ensure_display
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-bench" 96
hz=$(getconf CLK_TCK)
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')

wait_for() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }
# The newest process of this name that runs in this prefix (other Wine prefixes may be busy too).
prefix_pid() {
    local p
    for p in $(pgrep -x "$1"); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done | tail -1
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# The control panel: the program's small window at the bottom right of the screen.
panel_menu() {
    local w
    w=$(xdotool search --name "" 2>/dev/null | while read -r w; do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
        [ "$((X + WIDTH))" = "$sw" ] && [ "$Y" -gt $((sh / 2)) ] && [ "$HEIGHT" -ge 32 ] && [ "$HEIGHT" -le 80 ] &&
            echo "$w" && break
    done)
    [ -n "$w" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$w")"
    xdotool mousemove $((X + 3)) $((Y + HEIGHT * 9 / 32)) click 3
    sleep 0.3
    xdotool key "$1"
}
marker_shown() { xdotool search --name "^Tolvin No.$1\$" >/dev/null 2>&1; }
# Whether marker 1's band is centred on screen row $1 (within a pixel).
marker_centred_on() {
    local w
    w=$(xdotool search --name "^Tolvin No.1\$" 2>/dev/null | head -1)
    [ -n "$w" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$w")"
    local c=$((Y + (HEIGHT - 1) / 2))
    [ "$c" -ge $(($1 - 1)) ] && [ "$c" -le $(($1 + 1)) ]
}

# One turn: the program with `count` markers at rest. Prints "total program server" in % of a core.
measure() {
    local exe="$1" count="$2" n follow=""
    [ "$count" = follow ] && count=1 follow=yes
    wine "$exe" >/dev/null 2>&1 &
    local wine_pid=$!
    wait_for "marker_shown 1" || { echo "the program did not start" >&2; exit 1; }
    for ((n = 2; n <= count; n++)); do
        until marker_shown "$n"; do
            xdotool key Escape
            panel_menu a
            wait_for "marker_shown $n" || true
        done
    done
    if [ -n "$follow" ]; then
        # The panel menu's keys submenu: its last item makes the current marker follow the pointer.
        xdotool mousemove 10 300
        panel_menu k
        xdotool key Up Return
        xdotool mousemove 10 400 # the band comes to the pointer's row: it follows
        wait_for "marker_centred_on 400" || { echo "the marker does not follow the pointer" >&2; exit 1; }
    fi
    xdotool mousemove 10 $((sh - 10)) # the pointer rests away from the markers and the panel
    sleep 5
    local pid srv p0 s0 p1 s1
    pid=$(prefix_pid tolvin.exe)
    srv=$(prefix_pid "wineserver(64)?")
    p0=$(cpu_ticks "$pid") s0=$(cpu_ticks "$srv")
    sleep "$rest_s"
    p1=$(cpu_ticks "$pid") s1=$(cpu_ticks "$srv")
    panel_menu z || true # close all markers and end
    wait_for "! kill -0 $wine_pid 2>/dev/null" || kill "$pid" 2>/dev/null || true
    wait "$wine_pid" 2>/dev/null || true
    awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$rest_s" \
        'BEGIN { printf "%.2f %.2f %.2f\n", 100 * (p + s) / hz / t, 100 * p / hz / t, 100 * s / hz / t }'
}

# The Wine server with no program at all (Wine's own services): part of every figure below.
measure_idle() {
    local srv s0 s1
    sleep 5
    srv=$(prefix_pid "wineserver(64)?")
    s0=$(cpu_ticks "$srv")
    sleep "$rest_s"
    s1=$(cpu_ticks "$srv")
    awk -v s=$((s1 - s0)) -v hz="$hz" -v t="$rest_s" 'BEGIN { printf "%.2f 0 %.2f\n", 100 * s / hz / t, 100 * s / hz / t }'
}

declare -A results
idle=""
for ((r = 1; r <= rounds; r++)); do
    echo "turn $r: the Wine server alone ..." >&2
    idle+="$(measure_idle)"$'\n'
    for count in "${counts[@]}"; do
        for i in "${!exes[@]}"; do
            echo "turn $r: ${names[$i]}, $count markers ..." >&2
            results["$i,$count"]+="$(measure "${exes[$i]}" "$count")"$'\n'
        done
    done
done

# "low-high" of a column of the turns' figures.
span() { awk -v c="$1" 'NF { v = $c; if (lo == "" || v < lo) lo = v; if (hi == "" || v > hi) hi = v }
    END { printf(lo == hi ? "%s" : "%s–%s", lo, hi) }'; }
goal() { case "$1" in 3) echo 0.5 ;; 100) echo 3 ;; esac; }
echo
echo "CPU of tolvin.exe at rest, % of one core over $rest_s s, program and Wine server ($rounds turns each;"
echo "$(nproc) CPUs, $(wine --version), Xvfb ${sw}x${sh}, $(date -u +%F))"
echo
header="| figure |"
rule="|---|"
for name in "${names[@]}"; do header+=" $name |"; rule+="---|"; done
echo "$header goal | holds? |"
echo "$rule---|---|"
row="| no program: the Wine server alone |"
for i in "${!exes[@]}"; do row+=" $(printf '%s' "$idle" | span 1) |"; done
echo "$row | |"
for count in "${counts[@]}"; do
    row="| $count resting marker$([ "$count" = 1 ] || echo s) |"
    [ "$count" = follow ] && row="| 1 marker following a resting pointer |"
    holds=yes
    for i in "${!exes[@]}"; do
        total=$(printf '%s' "${results[$i,$count]}" | span 1)
        row+=" $total (program $(printf '%s' "${results[$i,$count]}" | span 2), server $(printf '%s' "${results[$i,$count]}" | span 3)) |"
        if [ "$i" = 0 ] && [ -n "$(goal "$count")" ]; then
            worst=$(printf '%s' "${results[$i,$count]}" | awk 'NF && $1 > m { m = $1 } END { print m + 0 }')
            awk -v w="$worst" -v g="$(goal "$count")" 'BEGIN { exit !(w <= g) }' || holds=no
        fi
    done
    if [ -n "$(goal "$count")" ]; then echo "$row ≤ $(goal "$count") | $holds |"; else echo "$row | |"; fi
done
