#!/usr/bin/env bash
# Runs a test program as tools/run runs Quillet: on an X display of its own (tools/run starts
# one the same way on a machine without a display) and inside Quillet's virtual desktop, in the
# build tree's Wine prefix. The desktop does not pass on the program's exit status, so the
# verdict comes from the program's XML report.
# Usage: run-in-desktop.sh WINE_RUN TEST_PROGRAM
set -euo pipefail
wine_run=$1 program=$2
source "$(dirname "$0")/../../tools/lib.sh"

report=$(mktemp -d)
trap 'stop_display; rm -rf "$report"' EXIT
unset DISPLAY
ensure_display
"$wine_run" explorer /desktop="$QUILLET_DESKTOP" "$program" \
    --gtest_output="xml:Z:$report/report.xml"
grep -q '<testsuites tests="[1-9][0-9]*" failures="0" disabled="0" errors="0"' "$report/report.xml"
