#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs clang-tidy with the checks of .clang-tidy over the C++ sources under
# src/, one file per processor at a time, and fails on any finding. It reads
# the compile commands of a build tree configured with the tests (they turn
# CMAKE_EXPORT_COMPILE_COMMANDS on), so the compiler's warning flags count
# too. Exits 77 (a skipped test) with a message when clang-tidy is not
# installed.
#   check-tidy.sh BUILD_DIR [SOURCE_DIR]
set -euo pipefail
build=$(cd "${1:?Usage: check-tidy.sh BUILD_DIR [SOURCE_DIR]}" && pwd)
cd "${2:-$(dirname "$0")/..}"
if ! command -v run-clang-tidy >/dev/null 2>&1; then
    echo "clang-tidy is not installed: the clang-tidy check is skipped"
    exit 77
fi
[ -f "$build/compile_commands.json" ] || {
    echo "no compile_commands.json in $build: configure it with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 1
}
# run-clang-tidy prints each command before its findings: only the findings
# are kept. The generated sources of the build tree are not checked.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -quiet -j "$(nproc)" -p "$build" -header-filter="^$PWD/src/" "^$PWD/src/" >"$log" 2>&1 || status=$?
grep -v -e '^clang-tidy' -e '^[0-9]* warnings\? generated\.$' -e '^Suppressed [0-9]* warnings' \
    -e '^Use -header-filter=' "$log" | sed 's/\x1b\[[0-9;]*m//g' || true
[ "$status" -eq 0 ] && echo "clang-tidy finds nothing in src/"
exit "$status"
