#!/usr/bin/env bash
# Test emulator: runs a Windows test program under Wine with its output in a file.
# Wine's server can keep a program's output pipe open after the program has ended
# (handed on to a child it started), which would keep CTest waiting for ever.
# A test marked TOLVIN_ON_DISPLAY2 runs on the second virtual display, when there is one.
set -u
if [ -n "${TOLVIN_ON_DISPLAY2:-}" ] && [ -n "${TOLVIN_DISPLAY2:-}" ]; then
    export DISPLAY="$TOLVIN_DISPLAY2"
fi
log="$(mktemp)"
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
