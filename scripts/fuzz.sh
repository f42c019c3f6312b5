#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer harnesses of fuzz/ with clang (in build-fuzz/) and runs
# each for SECONDS seconds from seeds the build writes, under AddressSanitizer
# and UndefinedBehaviorSanitizer. The corpus grows in build-fuzz/corpus/;
# inputs that break a harness are kept in build-fuzz/findings/ and make the
# script fail. Without clang it says so and does nothing.
#
# Usage: scripts/fuzz.sh SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?Usage: scripts/fuzz.sh SECONDS}
if ! command -v clang++ >/dev/null; then
  echo "fuzzing skipped: clang++ is not installed"
  exit 0
fi

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNOQUIL_FUZZ=ON -DVARNOQUIL_WINDOW=OFF -DVARNOQUIL_TESTS=OFF \
  -DVARNOQUIL_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_header fuzz_gems fuzz_scale fuzz_dat fuzz_seeds
"$build/fuzz/fuzz_seeds" "$build/seeds"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/findings"
for harness in header gems scale dat; do
  mkdir -p "$build/corpus/$harness"
  log="$build/findings/$harness.log"
  if TMPDIR=$scratch "$build/fuzz/fuzz_$harness" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/findings/$harness-" "$build/corpus/$harness" "$build/seeds/$harness" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$harness: $runs runs in ${seconds} s, no finding"
  else
    echo "fuzz_$harness: FINDING (see $log)" >&2
    tail -40 "$log" >&2
    exit 1
  fi
done
