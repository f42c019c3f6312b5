#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures varnoquil-cli against plain tools and runs the core benchmarks.
#
#   scripts/measure-performance.sh [--check]
#
# Builds a Release tree of its own (build-perf/, no window, no tests), writes
# synthetic ROM images into a temporary folder (32 MiB with GEMS tables near
# its end, 512 MiB, and a collection of 1,000 images of 4 MiB), then measures
# whole processes in one run:
#
#   varnoquil-cli info FILE        against  cat FILE > /dev/null  (target: within 1.2x)
#   varnoquil-cli checksum FILE    against  cat FILE > /dev/null  (target: within 1.2x)
#   varnoquil-cli fix-gems IN OUT  against  cp IN OUT             (target: within 1.5x)
#   varnoquil-cli checksum FILES   against  cat FILES > /dev/null (1,000 files; target: within 1.3x)
#   varnoquil-cli hash --sha1 FILES          against  sha1sum FILES (1,000 files)
#   varnoquil-cli hash --crc32 --sha1 FILES  against  sha1sum FILES (target: within 0.5x)
#   varnoquil-cli identify --dat DAT FILES   against  sha1sum FILES (a DAT of 10,000 games
#                                                                  that lists them; target: within 0.6x)
#   varnoquil-cli identify with a DAT of 60,000 games, on one small image  (target: under 150 ms)
#   peak memory of varnoquil-cli fix-gems and info on the 512 MiB file
#                                                                  (target: under 16 MiB)
#
# and finally prints the Google Benchmark results of bench/bench_core.
# Missing tools (g++, cmake, ninja, Google Benchmark, hyperfine, GNU time) are
# installed with apt-get, as root or through sudo. The temporary folder is made
# under $TMPDIR (default /tmp) and removed at the end. With --check the script
# exits with status 1 when a target is missed; without it, it reports and
# exits 0. Once built, a run takes about four minutes on a 2-core machine and
# needs about 4.6 GB free in the temporary folder (and as much memory for the
# page cache, or the collection is read from disk by both commands).

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build-perf"
CHECK=0
for arg in "$@"; do
    case "$arg" in
        --check) CHECK=1 ;;
        -h | --help)
            sed -n '2,31p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        *)
            echo "measure-performance.sh: unknown argument '$arg' (try --help)" >&2
            exit 2
            ;;
    esac
done

# Timing settings: warm-up runs fill the page cache, so every measured run
# reads its input from memory, as the plain tools do.
WARMUP=5
RUNS_READ=100     # info, checksum, cat (each run takes milliseconds)
RUNS_WRITE=30     # fix-gems, cp (each run is preceded by a sync)
COLLECTION=1000   # images of 4 MiB in the collection
RUNS_COLLECTION=10
RUNS_HASH=5       # sha1sum over the collection takes seconds
DAT_GAMES=10000   # the DAT identify looks the collection up in
BIG_DAT_GAMES=60000
BENCH_MIN_TIME=0.5

log() { printf '\n== %s\n' "$*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "measure-performance.sh: installing needs root (or sudo): $*" >&2
        return 1
    fi
}

# Installs the Debian packages that are not installed yet. The package lists
# are refreshed only when a first attempt fails.
install_missing() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "measure-performance.sh: please install: ${missing[*]}" >&2
        exit 1
    fi
    log "Installing ${missing[*]}"
    local install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}")
    if ! as_root "${install[@]}"; then
        as_root apt-get update
        as_root "${install[@]}"
    fi
}

install_missing g++ cmake ninja-build libbenchmark-dev hyperfine time

log "Building (Release) in $BUILD"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVARNOQUIL_WINDOW=OFF -DVARNOQUIL_TESTS=OFF -DVARNOQUIL_BENCH=ON >/dev/null
ninja -C "$BUILD" varnoquil-cli bench_core make_bench_image make_bench_dat

CLI="$BUILD/src/cli/varnoquil-cli"
BENCH="$BUILD/bench/bench_core"
MAKE_IMAGE="$BUILD/bench/make_bench_image"
MAKE_DAT="$BUILD/bench/make_bench_dat"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-perf.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

SMALL="$WORK/rom32.bin"
BIG="$WORK/rom512.bin"
OUT="$WORK/out.bin"
log "Writing the 32 MiB test image to $WORK"
"$MAKE_IMAGE" --tables 32 "$SMALL"
# The 32 MiB image must hold both tables and a valid checksum, or the runs
# below would measure something else than the command's full work.
if ! "$CLI" checksum "$SMALL" >/dev/null; then
    echo "measure-performance.sh: the test image's checksum is wrong" >&2
    exit 1
fi
STATUS=$("$CLI" fix-gems "$SMALL" "$OUT")
case "$STATUS" in
    *"fm fixed"*"psg fixed"*) ;;
    *) echo "measure-performance.sh: the test image's tables were not found: $STATUS" >&2; exit 1 ;;
esac
rm -f "$OUT"
# No write-back of the new file may run during the timed runs.
sync

# Shell-quoted paths for the command lines hyperfine runs.
q() { printf '%q' "$1"; }
CLI_Q=$(q "$CLI")
SMALL_Q=$(q "$SMALL")
OUT_Q=$(q "$OUT")

# hyperfine runs every command without a shell (-N) and sends its standard
# output to /dev/null, so "cat FILE" below is exactly "cat FILE > /dev/null",
# and no shell start-up time has to be subtracted from runs of a few
# milliseconds.
log "Reading the 32 MiB image: info and checksum against cat"
hyperfine -N --style basic --warmup "$WARMUP" --runs "$RUNS_READ" \
    --export-csv "$WORK/read.csv" \
    -n cat "cat $SMALL_Q" \
    -n info "$CLI_Q info $SMALL_Q" \
    -n checksum "$CLI_Q checksum $SMALL_Q"

# Both commands create a new file on every run: the output is removed before
# each run, and sync leaves no write-back of the previous run pending.
printf 'rm -f %s\nsync\n' "$OUT_Q" >"$WORK/prepare.sh"
log "Writing a 32 MiB output: fix-gems against cp"
hyperfine -N --style basic --warmup "$WARMUP" --runs "$RUNS_WRITE" \
    --export-csv "$WORK/write.csv" \
    --prepare "sh $(q "$WORK/prepare.sh")" \
    -n cp "cp $SMALL_Q $OUT_Q" \
    -n fix-gems "$CLI_Q fix-gems $SMALL_Q $OUT_Q"
rm -f "$OUT"

log "Writing a collection of $COLLECTION images of 4 MiB"
mkdir "$WORK/collection"
"$MAKE_IMAGE" 4 "$WORK/collection/rom0000.bin"
for ((i = 1; i < COLLECTION; ++i)); do
    cp "$WORK/collection/rom0000.bin" "$(printf '%s/collection/rom%04d.bin' "$WORK" "$i")"
done
FILES_Q=$(for file in "$WORK"/collection/*.bin; do printf '%q ' "$file"; done)
log "Checking the collection in one call: checksum against cat"
hyperfine -N --style basic --warmup 2 --runs "$RUNS_COLLECTION" \
    --export-csv "$WORK/collection.csv" \
    -n cat "cat $FILES_Q" \
    -n checksum "$CLI_Q checksum $FILES_Q"

# Every image of the collection is a copy of the first, which the DAT lists
# among made-up games: identify matches all 1,000.
"$MAKE_DAT" "$DAT_GAMES" "$WORK/collection.dat" "$WORK/collection/rom0000.bin"
"$MAKE_DAT" "$BIG_DAT_GAMES" "$WORK/big.dat"
if ! "$CLI" identify --dat "$WORK/collection.dat" "$WORK/collection/rom0000.bin" >/dev/null; then
    echo "measure-performance.sh: the collection's DAT does not list its image" >&2
    exit 1
fi
log "Hashing the collection in one call: hash and identify against sha1sum"
hyperfine -N --style basic --warmup 1 --runs "$RUNS_HASH" \
    --export-csv "$WORK/hash.csv" \
    -n sha1sum "sha1sum $FILES_Q" \
    -n hash-sha1 "$CLI_Q hash --sha1 $FILES_Q" \
    -n hash-crc32-sha1 "$CLI_Q hash --crc32 --sha1 $FILES_Q" \
    -n identify "$CLI_Q identify --dat $(q "$WORK/collection.dat") $FILES_Q"
rm -rf "$WORK/collection"

log "Reading a DAT of $BIG_DAT_GAMES games: identify on one small image"
head -c 4096 /dev/zero >"$WORK/small.bin"
hyperfine -N --style basic --warmup 3 --runs 20 -i \
    --export-csv "$WORK/dat.csv" \
    -n identify-big-dat "$CLI_Q identify --dat $(q "$WORK/big.dat") $(q "$WORK/small.bin")"

log "Peak memory of fix-gems and info on a 512 MiB image"
"$MAKE_IMAGE" 512 "$BIG"
# The highest maximum resident set size of 3 runs, in KiB. The output of a
# run is removed after it, so that every fix-gems run creates a new file.
peak_kib() {
    local most=0 kib run
    for run in 1 2 3; do
        kib=$( { /usr/bin/time -v "$@" >/dev/null; } 2>&1 |
            awk -F': ' '/Maximum resident set size/ { print $2 }')
        rm -f "$OUT"
        [ "$kib" -gt "$most" ] && most=$kib
    done
    echo "$most"
}
cat "$BIG" >/dev/null
FIX_PEAK=$(peak_kib "$CLI" fix-gems "$BIG" "$OUT")
INFO_PEAK=$(peak_kib "$CLI" info "$BIG")
CAT_PEAK=$(peak_kib cat "$BIG")
echo "varnoquil-cli fix-gems: $FIX_PEAK KiB, info: $INFO_PEAK KiB, cat: $CAT_PEAK KiB" \
    "(maximum resident set size, highest of 3 runs)"
rm -f "$BIG"

log "Core benchmarks (bench_core --benchmark_min_time=$BENCH_MIN_TIME)"
"$BENCH" --benchmark_min_time="$BENCH_MIN_TIME" | tee "$WORK/bench.txt"

# Mean, standard deviation, median and mean processor time (user + system)
# in seconds of a named command in a hyperfine CSV export (columns:
# command,mean,stddev,median,user,system,...).
stats_of() { awk -F, -v name="$2" 'NR > 1 && $1 == name { print $2, $3, $4, $5 + $6 }' "$1"; }

CAT=$(stats_of "$WORK/read.csv" cat)
INFO=$(stats_of "$WORK/read.csv" info)
CHECKSUM=$(stats_of "$WORK/read.csv" checksum)
CP=$(stats_of "$WORK/write.csv" cp)
FIX=$(stats_of "$WORK/write.csv" fix-gems)
CAT_MANY=$(stats_of "$WORK/collection.csv" cat)
CHECKSUM_MANY=$(stats_of "$WORK/collection.csv" checksum)
SHA1SUM=$(stats_of "$WORK/hash.csv" sha1sum)
HASH_SHA1=$(stats_of "$WORK/hash.csv" hash-sha1)
HASH_BOTH=$(stats_of "$WORK/hash.csv" hash-crc32-sha1)
IDENTIFY=$(stats_of "$WORK/hash.csv" identify)
BIG_DAT=$(stats_of "$WORK/dat.csv" identify-big-dat)

MISSED=0
# One table row: name, "mean stddev median", reference name, the same for
# the reference, limit. The ratio of the means decides; its spread combines
# both relative standard deviations. The ratios of the medians and of the
# processor times are shown too: they are less sensitive to runs slowed down
# by other load on the machine.
row() {
    awk -v n="$1" -v t="$2" -v rn="$3" -v r="$4" -v lim="$5" 'BEGIN {
        split(t, a, " "); split(r, b, " ")
        ratio = a[1] / b[1]
        spread = ratio * sqrt((a[2] / a[1]) ^ 2 + (b[2] / b[1]) ^ 2)
        printf "| %-29s | %8.1f ms | %-20s | %7.1f ms | %6.2fx ± %4.2f | %6.2fx | %6.2fx | <= %gx  | %-6s |\n",
            n, a[1] * 1000, rn, b[1] * 1000, ratio, spread, a[3] / b[3], a[4] / b[4], lim,
            (ratio <= lim ? "holds" : "MISSED")
        exit (ratio <= lim ? 0 : 1)
    }' || MISSED=1
}

log "Summary"
echo "Machine: $(nproc) cores, $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)," \
    "Linux $(uname -r), temporary folder on $(findmnt -n -o FSTYPE -T "$WORK" 2>/dev/null || stat -f -c %T "$WORK");" \
    "hyperfine $(hyperfine --version | awk '{ print $2 }')," \
    "$WARMUP warm-up runs, then $RUNS_READ (reading) or $RUNS_WRITE (writing) measured runs."
echo
echo "| command (32 MiB image)        | mean        | reference            | mean       | ratio of means | medians | CPU     | target | result |"
echo "|-------------------------------|-------------|----------------------|------------|----------------|---------|---------|--------|--------|"
row "varnoquil-cli info FILE" "$INFO" "cat FILE > /dev/null" "$CAT" 1.2
row "varnoquil-cli checksum FILE" "$CHECKSUM" "cat FILE > /dev/null" "$CAT" 1.2
row "varnoquil-cli fix-gems IN OUT" "$FIX" "cp IN OUT" "$CP" 1.5
echo
echo "| command ($COLLECTION images of 4 MiB) | mean        | reference            | mean       | ratio of means | medians | CPU     | target | result |"
echo "|-------------------------------|-------------|----------------------|------------|----------------|---------|---------|--------|--------|"
row "varnoquil-cli checksum FILES" "$CHECKSUM_MANY" "cat FILES > /dev/null" "$CAT_MANY" 1.3
row "hash --sha1 FILES" "$HASH_SHA1" "sha1sum FILES" "$SHA1SUM" 1
row "hash --crc32 --sha1 FILES" "$HASH_BOTH" "sha1sum FILES" "$SHA1SUM" 0.5
row "identify --dat DAT FILES" "$IDENTIFY" "sha1sum FILES" "$SHA1SUM" 0.6
echo
awk -v t="$BIG_DAT" -v n="$BIG_DAT_GAMES" 'BEGIN {
    split(t, a, " ")
    printf "A DAT of %d games read by identify on one image: %.1f ms (median %.1f ms); target under 150 ms: %s\n",
        n, a[1] * 1000, a[3] * 1000, (a[1] < 0.15 ? "holds" : "MISSED")
    exit (a[1] < 0.15 ? 0 : 1)
}' || MISSED=1
echo
PEAK_LIMIT_KIB=$((16 * 1024))
for run in "fix-gems:$FIX_PEAK" "info:$INFO_PEAK"; do
    awk -v name="${run%%:*}" -v k="${run#*:}" -v c="$CAT_PEAK" -v lim="$PEAK_LIMIT_KIB" 'BEGIN {
        printf "Peak memory, varnoquil-cli %s on 512 MiB: %.1f MiB (cat: %.1f MiB); target under %d MiB: %s\n",
            name, k / 1024, c / 1024, lim / 1024, (k < lim ? "holds" : "MISSED")
    }'
    [ "${run#*:}" -lt "$PEAK_LIMIT_KIB" ] || MISSED=1
done

echo
echo "Benchmarks (time per iteration, wall clock and CPU; throughput from CPU time):"
grep -E '^BM_' "$WORK/bench.txt" |
    awk '{ for (i = 1; i <= NF; ++i) if ($i ~ /^bytes_per_second=/) bps = substr($i, 18);
           printf "  %-28s %10s %-3s %10s %-3s %s\n", $1, $2, $3, $4, $5, bps }'

if [ "$MISSED" -ne 0 ]; then
    echo
    echo "At least one target was missed."
    [ "$CHECK" -eq 1 ] && exit 1
fi
exit 0
