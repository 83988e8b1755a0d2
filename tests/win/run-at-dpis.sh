#!/usr/bin/env bash
# Runs the Windows-side tests of screen density (the suite "Dpi") once for each common density:
# 96, 120, 144 and 192 pixels per inch (100, 125, 150 and 200 %). Wine takes the density from
# the prefix's LogPixels when a process starts, so the script sets it before each run, in a
# prefix of its own (made once, like the tree's own) that no other test shares, and on an X
# display of its own. The expected density goes to the tests in QUILLET_EXPECTED_DPI, so a
# setting that Wine ignored fails instead of passing at 96.
# Usage: run-at-dpis.sh PREFIX TEST_PROGRAM
set -euo pipefail
prefix=$1 program=$2
source "$(dirname "$0")/../../tools/lib.sh"

out=$(mktemp)
trap 'stop_wine; stop_display; rm -f "$out"' EXIT
unset DISPLAY
ensure_display
use_wine_prefix "$prefix"

set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1 </dev/null
}

status=0
for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    echo "== at $dpi pixels per inch"
    # Output through a file: wineserver may keep a pipe open (tools/wine-run.in).
    QUILLET_EXPECTED_DPI=$dpi wine_with_colormap "$program" --gtest_filter='Dpi.*' \
        >"$out" 2>&1 </dev/null || status=1
    cat "$out"
done
set_dpi 96
exit $status
