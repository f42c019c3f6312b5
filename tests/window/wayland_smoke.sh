#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the window on Wayland: starts a headless weston with a runtime folder
# of its own, runs the window tests' Wayland case on it, then starts the real
# program with a folder and checks that it is still up a few seconds later.
#
#   wayland_smoke.sh WINDOW_TEST_PROGRAM VARNOQUIL
set -euo pipefail

runtime=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-wayland.XXXXXX")
# Ends what this script started in the background (weston, the program).
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=varnoquil-test QT_QPA_PLATFORM=wayland
unset DISPLAY

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config \
    >"$runtime/weston.log" 2>&1 &
for _ in $(seq 50); do [ -S "$runtime/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { echo "weston did not start:"; cat "$runtime/weston.log"; exit 1; }

# A hang, at exit above all, fails the test here rather than holding up the run.
timeout 120 "$1" --gtest_filter='OnWayland.*' || { status=$?; [ $status != 124 ] || echo "the window tests' Wayland case did not end within 120 s"; exit $status; }

mkdir "$runtime/roms"
timeout 60 "$2" "$runtime/roms" >"$runtime/program.log" 2>&1 &
sleep 3
kill -0 $! 2>/dev/null || { echo "varnoquil did not stay up on Wayland:"; cat "$runtime/program.log"; exit 1; }
echo "varnoquil is up on Wayland"
