#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that one purpose needs, only those that are
# missing:
#
#   setup.sh run       build Varnoquil and run it (scripts/run.sh)
#   setup.sh package   build the Debian package (scripts/package.sh)
#   setup.sh test      all of the above, the tests and fuzzing, and the build
#                      for Windows with Wine to test it (scripts/test.sh)
set -euo pipefail

declare -A needs=(
  # A Release build of both programs: what the CMake files find (Qt 6 with
  # its Test module, CLI11, nlohmann-json, OpenSSL's libcrypto and libdeflate
  # for the hashes, pugixml for DAT files) and rsvg-convert, which renders
  # the window's icon.
  [build]="g++ cmake ninja-build qt6-base-dev libcli11-dev nlohmann-json3-dev libssl-dev libdeflate-dev
    libpugixml-dev librsvg2-bin"
  # A font for the window, and xvfb-run (which needs xauth) to give it a
  # virtual display.
  [run]="fonts-dejavu-core xvfb xauth"
  # cpack's Debian generator: file finds the programs, dpkg-shlibdeps reads
  # their dependencies off them.
  [package]="file dpkg-dev"
  # GoogleTest and Google Benchmark; the checks of the desktop entry, the
  # AppStream data, the manual pages and the package; the window on Wayland
  # under weston; the format and clang-tidy checks; clang and its runtime
  # libraries (libFuzzer among them) for the fuzz harnesses.
  [test]="libgtest-dev libbenchmark-dev desktop-file-utils appstream mandoc lintian weston qt6-wayland
    clang-format clang-tidy clang libclang-rt-dev"
  # The Windows leg of the tests: MinGW-w64 in its POSIX thread model,
  # GoogleTest's sources to build for Windows, and Wine to run the result.
  [windows]="g++-mingw-w64-x86-64-posix googletest wine64 wine"
)
case ${1:-} in
  run) groups="build run" ;;
  package) groups="build package" ;;
  test) groups="build run package test windows" ;;
  *)
    echo "Usage: scripts/setup.sh run|package|test" >&2
    exit 2
    ;;
esac

missing=()
for group in $groups; do
  for package in ${needs[$group]}; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
