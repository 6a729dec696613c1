#!/usr/bin/env bash
# Runs the in-process marker and alignment tests again at 125, 175 and 200 % scaling: the Wine
# prefix's scaling is switched for each run (a new process reads it) and put back at the end.
set -u
exe="$1"
emulator="$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-test.sh"
key='HKCU\Control Panel\Desktop'
set_dpi() { wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
trap 'set_dpi 96' EXIT
status=0
for dpi in 120 168 192; do
    set_dpi "$dpi"
    echo "== $dpi dpi"
    bash "$emulator" "$exe" --gtest_filter='Scaling.*:MarkerWindow.*' || status=1
done
exit $status
