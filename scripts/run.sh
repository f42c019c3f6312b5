#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Varnoquil and starts it. Without a display
# it says so and shows the program's main job, retuning a ROM image, with the
# command-line tool on a demonstration image instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh run
echo "Building Varnoquil in build/..."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNOQUIL_WINDOW=ON -DVARNOQUIL_TESTS=OFF -DVARNOQUIL_BENCH=OFF >/dev/null
cmake --build build

if [ -x build/src/app/varnoquil ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/src/app/varnoquil
fi

cli=build/src/cli/varnoquil-cli
if [ -x build/src/app/varnoquil ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot open."
  echo "The command-line tool $cli does the same work; see '$cli --help'."
fi
echo "Demonstration of retuning a ROM image with $cli:"

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT

# printf escapes for the little-endian bytes of one table that
# 'varnoquil-cli tables' prints as words.
table_bytes() {
  for word in $("$cli" tables | sed -n "s/^$1: //p"); do
    printf '%s' "\\x${word:2:2}\\x${word:0:2}"
  done
}

# A small cartridge image: a header, then the GEMS pitch tables inside filler.
{
  head -c 256 /dev/zero
  printf '%-16s%-16s%-48s%-48s' "SEGA MEGA DRIVE" "(C)VQL 2026.DEC" "VARNOQUIL DEMONSTRATION" "VARNOQUIL DEMONSTRATION"
  printf 'GM 00000000-00\0\0%-16s' "J"
  printf '\x00\x00\x00\x00\x00\x00\xff\xff%-20s%-12s%-40s%-16s' "" "" "" "JUE"
  head -c 4097 /dev/zero | tr '\0' '\x4e'
  printf "$(table_bytes fm)"
  head -c 333 /dev/zero | tr '\0' '\x71'
  printf "$(table_bytes psg)"
  head -c 60000 /dev/zero | tr '\0' '\x4e'
} >"$demo/demo.bin"

run() { echo; echo "\$ varnoquil-cli $(printf '%q ' "$@")"; "$cli" "$@" | tr -d '\r'; }
run info "$demo/demo.bin"
echo
run checksum "$demo/demo.bin" || true
run fix-gems --preset "Sega Tavrik" "$demo/demo.bin" "$demo/retuned.bin"
run checksum "$demo/retuned.bin"
# cmp exits 1 when the files differ, as they must here; 2 is a failure.
differ=$({ cmp -l "$demo/demo.bin" "$demo/retuned.bin" || [ $? -eq 1 ]; } | wc -l)
printf '\n%s bytes differ between the image and its retuned copy.\n' "$differ"
