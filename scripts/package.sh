#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package varnoquil_VERSION_ARCH.deb: a Release build for
# the prefix /usr in build-package/, then cpack, which reads the runtime
# dependencies off the programs with dpkg-shlibdeps. Prints the package's
# path, and only that, on standard output; what it is doing goes to standard
# error.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh package >&2
echo "Building the Debian package in build-package/ (a few minutes)..." >&2
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVARNOQUIL_WINDOW=ON -DVARNOQUIL_TESTS=OFF -DVARNOQUIL_BENCH=OFF >/dev/null
cmake --build build-package >&2
(cd build-package && rm -f ./*.deb && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/varnoquil_*.deb
