#!/usr/bin/env bash
# Start-up under Wine: quillet.exe with 0, 1,000, 10,000 and 100,000 notes against an empty
# Win32 program (a hidden window and a message loop), each timed from its start to its first
# input-idle moment by bench/win/startup_probe.exe. The programs take turns, RUNS rounds (5
# unless set); each line gives a median, its ratio to the empty program and the working set.
# A bare notification-area program (bench/win/tray_window.cpp) runs beside them: what loading
# the common controls and the shell and adding a tray icon cost before the program's own work.
# They run in a Wine virtual desktop with its taskbar, as tools/run starts the program: there,
# as on Windows, the notification area is there before the program adds its icon (without it,
# Wine builds a tray window for the first icon, some 100 ms that Windows never spends).
#
# Needs the win tree (cmake --preset win && cmake --build --preset win). Uses the X display in
# DISPLAY when it works, else an Xvfb of its own, and the tree's Wine prefix.
set -euo pipefail
source "$(dirname "$0")/../tools/lib.sh"
cd "$QUILLET_ROOT"

build=build/win
for file in quillet.exe bench/win/{startup_probe,empty_window,tray_window,make_notes}.exe; do
    if [ ! -f "$build/$file" ]; then
        echo "$build/$file is missing: cmake --preset win && cmake --build --preset win" >&2
        exit 2
    fi
done

work=$(mktemp -d)
trap 'stop_wine; stop_display; rm -rf "$work"' EXIT

# Wine shows the Unix root as drive Z:.
windows_path() {
    local path
    path="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
    echo "Z:${path//\//\\}"
}

ensure_display
use_wine_prefix "$PWD/$build/wineprefix"

programs=("empty program=$(windows_path "$build/bench/win/empty_window.exe")"
    "bare tray program=$(windows_path "$build/bench/win/tray_window.exe")")
for n in 0 1000 10000 100000; do
    folder="$work/quillet-$n-notes"
    mkdir "$folder"
    cp "$build/quillet.exe" "$folder/"
    wine "$build/bench/win/make_notes.exe" "$n" "$(windows_path "$folder")\\notes.txt" \
        >/dev/null 2>&1 </dev/null
    programs+=("quillet.exe, $n notes=$(windows_path "$folder/quillet.exe")")
done

say "start to first input-idle, medians of ${RUNS:-5}"
# Through a file, never a pipe: wineserver keeps copies of a process's standard handles.
wine explorer /desktop="$QUILLET_DESKTOP" "$(windows_path "$build/bench/win/startup_probe.exe")" \
    "${RUNS:-5}" "${programs[@]}" >"$work/out" 2>&1 </dev/null
cat "$work/out"
