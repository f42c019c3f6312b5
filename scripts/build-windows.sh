#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the core, the command-line tool and the core tests for 64-bit
# Windows with Debian's MinGW-w64, in build-windows/. The libraries Debian
# ships only for Linux (pugixml, libdeflate, GoogleTest) are built for
# Windows first, from Debian's own source packages, once. Takes the build
# type (Debug unless given) and prints the build folder on standard output.
set -euo pipefail
cd "$(dirname "$0")/.."

build_type=${1:-Debug}
# The tests are built into the Debug build only.
tests=$([ "$build_type" = Debug ] && echo ON || echo OFF)
root=$PWD/build-windows
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
prefix=$root/prefix

# Debian's source packages, fetched through the machine's own package
# sources (the deb lines read as deb-src) and an index kept apart from the
# system's.
fetch_sources() {
  local apt=$root/apt
  mkdir -p "$apt/lists/partial" "$apt/sources.list.d" "$root/sources"
  : >"$apt/sources.list"
  [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && sed 's/^Types: deb$/Types: deb-src/' "$file" >"$apt/sources.list.d/${file##*/}"
  done
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "APT::Sandbox::User=root")
  apt-get -qq "${options[@]}" update
  (cd "$root/sources" && apt-get -qq "${options[@]}" source pugixml libdeflate >/dev/null 2>&1)
}

if [ ! -f "$prefix/lib/libdeflate.a" ]; then
  echo "Building pugixml, libdeflate and GoogleTest for Windows in $root/libraries..." >&2
  [ -d "$root/sources" ] && compgen -G "$root/sources/libdeflate-*/" >/dev/null || fetch_sources
  cmake -S cmake/windows-deps -B "$root/libraries" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPUGIXML_SOURCE_DIR="$(compgen -G "$root/sources/pugixml-*/")" \
    -DLIBDEFLATE_SOURCE_DIR="$(compgen -G "$root/sources/libdeflate-*/")" >/dev/null
  nice -n 10 cmake --build "$root/libraries" --parallel "$(nproc)" >&2
  cmake --install "$root/libraries" >/dev/null
  # CLI11 and nlohmann-json are headers only: Debian's serve Windows too.
  mkdir -p "$prefix/include" "$prefix/share/cmake"
  for name in CLI nlohmann; do ln -sfn "/usr/include/$name" "$prefix/include/$name"; done
  for name in CLI11 nlohmann_json; do ln -sfn "/usr/share/cmake/$name" "$prefix/share/cmake/$name"; done
fi

echo "Building Varnoquil for Windows in $root/${build_type,,}..." >&2
cmake -S . -B "$root/${build_type,,}" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_FIND_ROOT_PATH="$prefix" -DVARNOQUIL_WINDOW=OFF -DVARNOQUIL_BENCH=OFF -DVARNOQUIL_TESTS="$tests" \
  -DVARNOQUIL_WERROR=ON >/dev/null
nice -n 10 cmake --build "$root/${build_type,,}" --parallel "$(nproc)" >&2
echo "$root/${build_type,,}"
