#!/usr/bin/env bash
# Drives tolvin.exe with the real X pointer and keyboard (xdotool), as a user would.
set -uo pipefail
exe="$1"
fails=0; passes=0
check() { if eval "$2"; then passes=$((passes + 1)); echo "ok: $1"; else fails=$((fails + 1)); echo "FAILED: $1"; fi; }
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-F]\{6\}' | head -1; }
wait_for() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }
# Shown windows tall enough to be a menu: not the markers, the panel or the grip's tooltip, which
# may show or hide at any moment.
shown() {
    xdotool search --onlyvisible --name "" 2>/dev/null | while read -r w; do
        xdotool getwindowgeometry --shell "$w" 2>/dev/null | grep -q '^HEIGHT=\([6-9][0-9]\|[0-9][0-9][0-9]\)$' && echo "$w"
    done | wc -l
}

wine "$exe" >/dev/null 2>&1 &
wine_pid=$!
trap 'kill $wine_pid 2>/dev/null; true' EXIT
check "marker 1 appears" 'wait_for "xdotool search --name \"^Tolvin No.1$\" >/dev/null"'
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
marker=$(xdotool search --name "^Tolvin No.1$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$marker")"
check "marker 1 spans the screen at the top" '[ "$X" = 0 ] && [ "$Y" = 0 ] && [ "$WIDTH" = "$sw" ]'
check "white paper shows yellow through the bar" 'wait_for "[ \"\$(pixel 200 5)\" = \"#FFFF00\" ]"'

# Right-click the grip and choose "add a marker" by its access key, once the menu shows (one
# more window on the display). The grip hides while the pointer is away: it shows again as the
# pointer comes over the marker.
grip_x=$((sw - 20)); grip_y=$((HEIGHT / 2))
xdotool mousemove "$grip_x" "$grip_y"
check "the grip shows under the pointer" 'wait_for "[ \"\$(pixel $grip_x $grip_y)\" != \"#FFFF00\" ]"'
windows=$(shown)
xdotool click 3
check "a right click on the grip opens the marker menu" 'wait_for "[ \$(shown) -gt $windows ]"'
xdotool key a
check "the menu's access key A adds marker 2" 'wait_for "xdotool search --name \"^Tolvin No.2$\" >/dev/null"'

# The panel's background is transparent: a right click there reaches the desktop and
# opens no menu; a right click on its picture opens the panel menu.
panel=$(xdotool search --name "" 2>/dev/null | while read -r w; do
    eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
    [ "$((X + WIDTH))" = "$sw" ] && [ "$Y" -gt $((sh / 2)) ] && [ "$HEIGHT" -ge 32 ] && [ "$HEIGHT" -le 80 ] && echo "$w" && break
done)
if [ -n "$panel" ]; then
    eval "$(xdotool getwindowgeometry --shell "$panel")"
    sx=$((X + 3)); sy=$((Y + HEIGHT * 9 / 32))
    # Ten wheel notches a millisecond apart over the panel's picture: ten steps of marker 2, the
    # current one (4 pixels a step at 96 dpi), although most arrive while a step is under way.
    xdotool mousemove "$sx" "$sy"
    xdotool click --repeat 10 --delay 1 5
    two=$(xdotool search --name "^Tolvin No.2$" | head -1)
    top_of_two() { eval "$(xdotool getwindowgeometry --shell "$two")"; echo "$Y"; }
    check "ten fast wheel notches move the current marker ten steps" 'wait_for "[ \"\$(top_of_two)\" = 40 ]"'
    sleep 0.3
    check "and no more" '[ "$(top_of_two)" = 40 ]'
    eval "$(xdotool getwindowgeometry --shell "$panel")"
    # Column 20, row 28 of the 32 x 32 picture is masked out.
    tx=$((X + WIDTH * 2 / 3 * 20 / 32)); ty=$((Y + HEIGHT * 28 / 32))
    windows=$(shown)
    xdotool mousemove "$tx" "$ty" click 3
    sleep 0.7 # nothing is to happen: give it the time a menu takes to show
    check "a right click on a transparent pixel opens no menu" '[ "$(shown)" = "$windows" ]'
    xdotool key Escape
    xdotool mousemove "$sx" "$sy" click 3
    check "a right click on the picture opens the panel menu" 'wait_for "[ \$(shown) -gt $windows ]"'
    xdotool key z
else
    check "the panel window is found" 'false'
    xdotool mousemove "$grip_x" "$grip_y" click 3; sleep 0.7; xdotool key z
fi
check "closing all markers ends the program" 'wait_for "! kill -0 $wine_pid 2>/dev/null"'
trap - EXIT
echo "$passes passed, $fails failed"
[ "$fails" = 0 ]
