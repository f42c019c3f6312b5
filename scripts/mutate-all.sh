#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: scripts/mutate-all.sh [RESULTS-FOLDER] [FILE...]
#
# Random mutation sampling of every source file under src/ (or of the FILEs
# named): runs ../shared/tools/mutate-changed.py --file F --max 10 on each,
# building only the programs whose tests cover that folder and running only
# those tests, so that a mutant costs seconds rather than the whole suite.
# Each file's result is kept in RESULTS-FOLDER (default
# ${TMPDIR:-/tmp}/varnoquil-mutate-all); a file with a finished result is not
# tried again, so a long run can be stopped and resumed. At the end the
# totals are printed per folder, with every survivor.
#
# A survivor here has passed only the tests of its folder: before it counts,
# try it against the whole suite (scripts/mutants.sh takes it as an entry).
# The Windows files are left out: the Linux build does not compile them, so
# their mutants would pass untested.
set -uo pipefail
cd "$(dirname "$0")/.."
results=${1:-${TMPDIR:-/tmp}/varnoquil-mutate-all}
shift || true
tool=../shared/tools/mutate-changed.py
mkdir -p "$results"

build=build-mutate
core_tests="test_rom test_rom_format test_identify test_scale test_fix_gems test_browser test_sound_engines
 test_mount_table test_ui_logic test_start_place test_cp1251 test_files test_cli"
configure="cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG='-O0 -g0'
 -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DVARNOQUIL_TESTS=ON -DVARNOQUIL_WINDOW=ON -DVARNOQUIL_BENCH=OFF"
configure=${configure//$'\n'/}
core_tests=${core_tests//$'\n'/}

# Each program and CTest case is cut off after five minutes, so that a mutant
# that makes a test wait forever counts as killed without a long wait. (The
# tool runs the window tests on the offscreen platform.)
run_each() # the gtest programs named, one after another, stopping at the first failure
{
    local line="true"
    for program in "$@"; do
        line+=" && timeout 300 $program --gtest_brief=1 >/dev/null 2>&1"
    done
    echo "$line"
}
ctest_cases() # REGEX
{
    echo "ctest --test-dir $build -R '$1' --timeout 300 --stop-on-failure >/dev/null 2>&1"
}

core_run=$(run_each $(printf "$build/tests/%s " $core_tests))
window_run=$(run_each "$build/tests/window/varnoquil_window_tests")
file_cases=$(ctest_cases '^(cli_faults|unprivileged[.])')
# The window program's own runs and the install check, which runs it too
# (and installs the compressed manual pages and notes, hence compressed_texts).
window_cases=$(ctest_cases '^(varnoquil|desktop[.])')

commands_for() # FILE: prints the build command, then the test command
{
    case $1 in
    src/app/*)
        echo "cmake --build $build --target varnoquil varnoquil-cli varnoquil_window_tests compressed_texts"
        echo "$window_run && $window_cases" ;;
    src/cli/*)
        echo "cmake --build $build --target varnoquil-cli test_cli"
        echo "$(run_each "$build/tests/test_cli") && $file_cases" ;;
    src/core/ui/*)
        echo "cmake --build $build --target varnoquil-cli $core_tests varnoquil varnoquil_window_tests compressed_texts"
        echo "$core_run && $window_run && $window_cases && $(ctest_cases '^unprivileged[.]')" ;;
    src/core/platform/*)
        echo "cmake --build $build --target varnoquil-cli $core_tests"
        echo "$core_run && $file_cases" ;;
    *)
        echo "cmake --build $build --target varnoquil-cli $core_tests"
        echo "$core_run" ;;
    esac
}

if (($# == 0)); then
    mapfile -t files < <(for folder in core cli app; do git ls-files "src/$folder/*"; done |
        grep -E '[.](cpp|h)$' | grep -vE '/(win32_[^/]*|digest_cng[.]cpp)$')
else
    files=("$@")
fi

for file in "${files[@]}"; do
    log=$results/$file.log
    mkdir -p "$(dirname "$log")"
    grep -qE '^[0-9]+ mutants:|^no mutable' "$log" 2>/dev/null && continue
    mapfile -t commands < <(commands_for "$file")
    echo "== $file" >&2
    python3 "$tool" --file "$file" --max 10 --seed 1 --configure "$configure" \
        --build "${commands[0]}" --test "${commands[1]}" >"$log" 2>&1
    tail -n 1 "$log" >&2
done

# Totals per folder, and the survivors.
find "$results" -mindepth 2 -name '*.log' | sort | while read -r log; do
    folder=$(dirname "${log#"$results"/}")
    summary=$(grep -E '^[0-9]+ mutants:' "$log") || continue
    read -r tried killed survived unbuilt < <(sed -E 's/^([0-9]+) mutants: ([0-9]+) killed, ([0-9]+) survived, ([0-9]+) did not build.*/\1 \2 \3 \4/' <<<"$summary")
    echo "$folder $tried $killed $survived $unbuilt"
done | awk '{ t[$1] += $2; k[$1] += $3; s[$1] += $4; u[$1] += $5 }
    END { printf "%-22s %6s %7s %9s %16s\n", "folder", "tried", "killed", "survived", "did not build"
          for (f in t) printf "%-22s %6d %7d %9d %16d\n", f, t[f], k[f], s[f], u[f] }' | sort
find "$results" -mindepth 2 -name '*.log' -exec grep -h -A2 '^SURVIVED' {} + || true
