#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes build-windows/varnoquil-VERSION-windows-x86_64.zip: the command-line
# tool built for Windows (a Release build by scripts/build-windows.sh), the
# licence, the README and the sound engine list. The window is added when the
# build found Qt for Windows (see the README); Debian ships none, so here the
# ZIP holds the tool alone. Prints the ZIP's path on standard output.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(bash scripts/build-windows.sh Release)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=varnoquil-$version-windows-x86_64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$build/src/cli/varnoquil-cli.exe" "$stage/$name/"
[ -f "$build/src/app/varnoquil.exe" ] && cp "$build/src/app/varnoquil.exe" "$stage/$name/"
x86_64-w64-mingw32-strip "$stage/$name"/*.exe
cp LICENSE README.md data/sound-engines.tsv "$stage/$name/"
zip="$PWD/build-windows/$name.zip"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip "$name")
echo "$zip"
