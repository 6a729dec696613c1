#!/usr/bin/env bash
# The long checks: the leak soak, 20,000 refreshes and 1,000 add/close cycles (the test command
# runs a few thousand and a few hundred), and 400 steps over a slow program's page, each read back
# from the screen (the test command takes 40). Takes about four minutes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$TOLVIN_ROOT"
need_packages
build_program
unset DISPLAY
ensure_display
prepare_prefix "$TOLVIN_ROOT/build/wineprefix-96" 96
TOLVIN_SOAK_REFRESHES="${TOLVIN_SOAK_REFRESHES:-20000}" TOLVIN_SOAK_CYCLES="${TOLVIN_SOAK_CYCLES:-1000}" \
    bash scripts/wine-test.sh "$BUILD_DIR/tests/window_tests.exe" --gtest_filter='Leaks.*'
TOLVIN_FIDELITY_STEPS="${TOLVIN_FIDELITY_STEPS:-400}" \
    bash scripts/wine-test.sh "$BUILD_DIR/tests/e2e_tests.exe" "$BUILD_DIR/tolvin.exe" \
    --gtest_filter='LivePicture.EveryStep*'
