#!/usr/bin/env bash
# Add, Edit and Delete under Wine on tables of 10,000 and 100,000 notes, each timed from the
# command to the next idle moment by bench/win/bench_commands.exe: medians of RUNS (5 unless
# set), beside the same run's save of the table alone.
#
# Needs the win tree (cmake --preset win && cmake --build --preset win). Uses the X display in
# DISPLAY when it works, else an Xvfb of its own, and the tree's Wine prefix.
set -euo pipefail
source "$(dirname "$0")/../tools/lib.sh"
cd "$QUILLET_ROOT"

benchmark=build/win/bench/win/bench_commands.exe
if [ ! -f "$benchmark" ]; then
    echo "$benchmark is missing: cmake --preset win && cmake --build --preset win" >&2
    exit 2
fi

out=$(mktemp)
trap 'stop_wine; stop_display; rm -f "$out"' EXIT
ensure_display
use_wine_prefix "$PWD/build/win/wineprefix"
say "from the command to the next idle moment, medians of ${RUNS:-5}"
# Through a file, never a pipe: wineserver keeps copies of a process's standard handles.
wine "$benchmark" "${RUNS:-5}" >"$out" 2>&1 </dev/null
cat "$out"
