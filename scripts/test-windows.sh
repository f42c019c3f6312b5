#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows leg of the tests: builds the core, the command-line tool and
# the core tests for Windows (scripts/build-windows.sh), runs the tests under
# Wine, then runs the tool's Windows build and the Linux build given on the
# real images of tests/data and compares what they print and write, byte for
# byte once "\" reads "/".
#
#   test-windows.sh LINUX_CLI
set -euo pipefail
cd "$(dirname "$0")/.."

linux_cli=$(realpath "$1")
build=$(bash scripts/build-windows.sh)
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's services, started by the first Windows program, outlive it: started
# from a test they would hold the test runner's output open, and it would
# wait for them for minutes. A persistent server with the services started
# here, away from any pipe of ours, keeps them out of the way.
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; wineserver -w; rm -rf "$work"' EXIT
mkdir -p "$WINEPREFIX"
wineserver -p
"$wine" wineboot -i </dev/null >/dev/null 2>&1

echo "Running the core tests for Windows under Wine..."
(cd "$build" && ctest --output-on-failure -j "$(nproc)")

# Each case is one command line, run in a folder holding copies of the
# images; the two builds each have their own folder.
cases=(
  "info sega-2048.bin" "info --long miniplanets-rev04.bin" "info --json minimusic-sample.bin" "info ."
  "info -r --long ." "checksum sega-2048.bin" "checksum miniplanets-rev04.bin minimusic-sample.bin"
  "scan ." "hash ." "hash --crc32 --md5 --sha1 --sha256 miniplanets-rev04.bin minimusic-sample.bin"
  "fix-gems minimusic-sample.bin out1.bin" "fix-gems --fm 2 --psg 0.5 --json miniplanets-rev04.bin out2.bin"
  "fix-gems --preset Default minimusic-sample.bin minimusic-sample.bin" "convert sega-2048.bin out3.bin"
  "checksum --repair out1.bin" "tables" "tables --fm 1.5" "engines sonic" "info missing.bin"
  "hash --nothing" "identify --dat missing.dat ."
)
for side in linux windows; do
  mkdir -p "$work/$side"
  cp tests/data/*.bin "$work/$side/"
done
# Runs a command in a folder; what it prints and its exit status go to a file.
run_in() {
  local folder=$1 output=$2 status=0
  shift 2
  (cd "$folder" && "$@") >"$output" 2>&1 || status=$?
  echo "exit $status" >>"$output"
}
failed=0
for i in "${!cases[@]}"; do
  read -r -a words <<<"${cases[$i]}"
  run_in "$work/linux" "$work/$i.linux" "$linux_cli" "${words[@]}"
  run_in "$work/windows" "$work/$i.windows" "$wine" "$build/src/cli/varnoquil-cli.exe" "${words[@]}"
  sed -i 's|\\|/|g' "$work/$i.windows"
  if ! cmp -s "$work/$i.linux" "$work/$i.windows"; then
    echo "The Windows build's output differs from the Linux build's: varnoquil-cli ${cases[$i]}"
    diff -a "$work/$i.linux" "$work/$i.windows" | head -n 20 || true
    failed=$((failed + 1))
  fi
done
if ! diff -r "$work/linux" "$work/windows" >/dev/null; then
  echo "The files the two builds wrote differ:"
  diff -r "$work/linux" "$work/windows" || true
  failed=$((failed + 1))
fi
echo "The command-line tool on Windows: $((${#cases[@]} + 1 - failed)) of $((${#cases[@]} + 1)) comparisons with Linux match"
[ "$failed" -eq 0 ]
