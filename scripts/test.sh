#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, a compiler warning being an error, and runs the
# whole test suite (the fault test of the command-line tool on real files and
# clang-tidy among it); then, where MinGW-w64 and Wine are installed,
# builds for Windows and runs the core tests and the command-line tool there
# under Wine (scripts/test-windows.sh); then runs each fuzz harness for 20
# seconds when clang is installed, and builds the Debian package and checks
# it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test
echo "Building the tests in build-test/ with sanitizers (several minutes)..."
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOQUIL_SANITIZE=ON -DVARNOQUIL_WINDOW=ON -DVARNOQUIL_TESTS=ON -DVARNOQUIL_BENCH=ON \
  -DVARNOQUIL_WERROR=ON >/dev/null
cmake --build build-test
echo "Running the tests..."
(cd build-test && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$(nproc)")
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wineserver >/dev/null; then
  echo "Building the core, the command-line tool and the core tests for Windows, and testing them under Wine..."
  bash scripts/test-windows.sh build-test/src/cli/varnoquil-cli
fi
echo "Building the fuzz harnesses in build-fuzz/, then fuzzing each for 20 s..."
bash scripts/fuzz.sh 20

package=$(bash scripts/package.sh | tail -n 1)
echo "Checking $package..."
bash tests/desktop/check_package.sh "$package" "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)"
