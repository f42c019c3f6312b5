#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the window on Wayland: starts a headless weston with a runtime folder
# of its own, runs the smoke test program on it, then starts the real
# program with a folder and checks that it is still up a few seconds later.
#
#   wayland_smoke.sh SMOKE_TEST_PROGRAM VARNOQUIL
set -euo pipefail

smoke=$1
program=$2
runtime=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-wayland.XXXXXX")
weston_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=varnoquil-test QT_QPA_PLATFORM=wayland
unset DISPLAY

weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 --no-config \
    >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 50); do
    [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done
if [ ! -S "$runtime/$WAYLAND_DISPLAY" ]; then
    echo "weston did not start:"; cat "$runtime/weston.log"; exit 1
fi

"$smoke"

mkdir "$runtime/roms"
"$program" "$runtime/roms" >"$runtime/program.log" 2>&1 &
program_pid=$!
sleep 3
if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "varnoquil did not stay up on Wayland:"; cat "$runtime/program.log"; exit 1
fi
echo "varnoquil is up on Wayland"
