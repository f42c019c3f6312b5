#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs varnoquil-cli against the edges of a real Linux file system, on real
# files in a scratch folder: FIFOs, devices, symbolic links
# (followed, dangling, looping), the longest names, read-only files, a full
# disk, /dev/full, closed pipes, signals during a long run, and a memory limit.
# Each case checks the exit status, the message, and that nothing was lost
# or left behind.
#
# Usage: cli_faults.sh CLI [PLAIN_CLI]
# PLAIN_CLI is a build without sanitizers, for the case that limits the
# address space (a sanitized program cannot start under such a limit).
set -uo pipefail

cli=$(realpath "$1")
plain=$(realpath "${2:-$1}")
work=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-faults-XXXXXX")
cleanup() {
  mountpoint -q "$work/small" 2>/dev/null && umount "$work/small"
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

failed=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failed=1; }
skip() { echo "skip $1"; }

# run CMD...: runs it, keeping its exit status, standard output and error.
run() {
  "$@" >out.txt 2>err.txt
  status=$?
}

# expect NAME STATUS MESSAGE: the last run ended with STATUS and its standard
# error holds MESSAGE.
expect() {
  if [ "$status" -ne "$2" ]; then
    fail "$1: exit $status, expected $2 ($(head -c 200 err.txt))"
  elif [ -n "$3" ] && ! grep -qF -- "$3" err.txt; then
    fail "$1: message '$(head -c 200 err.txt)', expected '$3'"
  else
    pass "$1"
  fi
}

# leftovers: temporary files that a run left in a folder (hidden names of
# the form .NAME.XXXXXX).
leftovers() {
  find "${1:-.}" -maxdepth 1 -name '.*.??????' -printf '%f '
}

no_leftovers() {
  local left
  left=$(leftovers "${2:-.}")
  [ -z "$left" ] && pass "$1: nothing left behind" || fail "$1: left behind: $left"
}

same_content() {
  cmp -s "$2" "$3" && pass "$1" || fail "$1: $2 differs from $3"
}

kind_of() { stat -c %F "$1" 2>/dev/null; }

# A game image with the GEMS tables: random data under a header, tables from
# the tool's own 'tables' command, written little-endian.
little_endian() {
  local word
  for word in "$@"; do printf "\\x${word:2:2}\\x${word:0:2}"; done
}
make_game() {
  head -c "${2:-65536}" /dev/urandom >"$1"
  # A header of text, so that no zero byte cuts the information text short.
  printf '%256s' '' | dd of="$1" bs=1 seek=256 conv=notrunc status=none
  printf 'SEGA MEGA DRIVE ' | dd of="$1" bs=1 seek=256 conv=notrunc status=none
  printf 'GM 00000000-00' | dd of="$1" bs=1 seek=384 conv=notrunc status=none
  local tables
  tables=$("$cli" tables)
  little_endian $(sed -n 's/^fm: //p' <<<"$tables") | dd of="$1" bs=1 seek=$((0x1001)) conv=notrunc status=none
  little_endian $(sed -n 's/^psg: //p' <<<"$tables") | dd of="$1" bs=1 seek=$((0x2000)) conv=notrunc status=none
}

make_game game.bin
cp game.bin game.orig

echo "# outputs that are not regular files"
mkfifo out.fifo
run "$cli" fix-gems game.bin out.fifo
expect "FIFO as output" 1 "The output must be a regular file"
[ "$(kind_of out.fifo)" = fifo ] && pass "FIFO as output: still a FIFO" || fail "FIFO as output: now $(kind_of out.fifo)"
ln -s out.fifo to-fifo.bin
run "$cli" fix-gems game.bin to-fifo.bin
expect "link to a FIFO as output" 1 "The output must be a regular file"
# Device nodes: root may make them, where the system lets it.
if mknod null.dev c 1 3 2>/dev/null; then
  run "$cli" fix-gems game.bin null.dev
  expect "character device as output" 1 "The output must be a regular file"
  [ "$(kind_of null.dev)" = "character special file" ] && pass "character device as output: still a device" \
    || fail "character device as output: now $(kind_of null.dev)"
  rm null.dev
else
  skip "character device as output: mknod is not allowed here (it needs root)"
fi
# A block device number nothing answers to: were it opened, it would fail
# with another message; were it written, nothing real would change.
if mknod none.blk b 240 0 2>/dev/null; then
  run "$cli" fix-gems game.bin none.blk
  expect "block device as output" 1 "The output must be a regular file"
  run "$cli" checksum --fix none.blk
  expect "block device as checksum repair target" 1 "The input must be a regular file"
  rm none.blk
else
  skip "block device as output: mknod is not allowed here (it needs root)"
fi
no_leftovers "outputs that are not regular files"

echo "# symbolic links as output"
printf 'old' >target.bin
ln -s target.bin link.bin
run "$cli" fix-gems game.bin link.bin
expect "link as output" 0 ""
[ -L link.bin ] && [ "$(stat -c %s target.bin)" = "$(stat -c %s game.bin)" ] \
  && pass "link as output: the link stays, its target gets the content" || fail "link as output: $(ls -l link.bin target.bin)"
ln -s new-target.bin dangling.bin
run "$cli" fix-gems game.bin dangling.bin
expect "dangling link as output" 0 ""
[ -L dangling.bin ] && cmp -s new-target.bin target.bin && pass "dangling link as output: its target is created" \
  || fail "dangling link as output"
ln -s loop-b.bin loop-a.bin
ln -s loop-a.bin loop-b.bin
run "$cli" fix-gems game.bin loop-a.bin
expect "link loop as output" 1 "The output must be a regular file"
[ -L loop-a.bin ] && [ -L loop-b.bin ] && pass "link loop as output: both links stay" || fail "link loop as output"
run "$cli" info loop-a.bin
expect "link loop as input" 1 "The input must be a regular file"
no_leftovers "symbolic links"

echo "# inputs that are not regular files"
mkfifo in.fifo
run timeout 20 "$cli" info in.fifo
expect "FIFO as input (no writer: must not wait for one)" 1 "The input must be a regular file"
run timeout 20 "$cli" fix-gems in.fifo from-fifo.bin
expect "FIFO as fix-gems input" 1 "The input must be a regular file"
run "$cli" fix-gems /dev/zero from-zero.bin
expect "/dev/zero as fix-gems input" 1 "The input must be a regular file"
run "$cli" checksum --fix /dev/zero
expect "/dev/zero as checksum repair target" 1 "The input must be a regular file"
run "$cli" info /proc/self/status
expect "/proc file (size 0, with content) as input" 1 "The input must be a regular file"
sys_file=/sys/kernel/mm/transparent_hugepage/enabled
if [ -r "$sys_file" ]; then
  run "$cli" info "$sys_file"
  expect "/sys file as input" 1 "The input must be a regular file"
else
  skip "/sys file as input: $sys_file is missing"
fi
mkdir folder.bin
run "$cli" fix-gems folder.bin from-folder.bin
expect "folder as input" 1 "File access denied"
# info, checksum and scan take a folder for the images in it: none here.
run "$cli" info folder.bin
expect "folder of images as input" 0 "0 files: 0 read, 0 failed"
[ ! -e from-fifo.bin ] && [ ! -e from-zero.bin ] && [ ! -e from-folder.bin ] \
  && pass "refused inputs: no output written" || fail "refused inputs: an output was written"
no_leftovers "inputs that are not regular files"

echo "# read-only input"
cp game.bin ro.bin
chmod 444 ro.bin
run "$cli" info ro.bin
expect "read-only file: info" 0 ""
run "$cli" checksum ro.bin
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] && pass "read-only file: checksum reads it" \
  || fail "read-only file: checksum exit $status ($(cat err.txt))"
run "$cli" fix-gems ro.bin from-ro.bin
expect "read-only file: fix-gems input" 0 ""
run "$cli" checksum --fix ro.bin
expect "read-only file: checksum --fix refused (also for root)" 1 "File access denied"
same_content "read-only file: unchanged" ro.bin game.bin

echo "# names"
for length in 254 255; do
  name=$(printf "%0$((length - 4))d.bin" 0)
  run "$cli" fix-gems game.bin "$name"
  expect "$length-byte output name" 0 ""
  run "$cli" fix-gems game.bin "$name"
  expect "$length-byte output name replaced" 0 ""
  cmp -s "$name" from-ro.bin && pass "$length-byte output name: complete" || fail "$length-byte output name: content"
  rm -f "$name"
done
run "$cli" fix-gems game.bin "$(printf '%0256d' 0)"
expect "256-byte output name" 1 "Invalid filename"
run "$cli" fix-gems "" out.bin
expect "empty input name" 2 "Expected a file name"
run "$cli" fix-gems game.bin ""
expect "empty output name" 2 "Expected a file name"
no_leftovers "names"

echo "# modes"
(umask 027 && "$cli" fix-gems game.bin umask.bin >/dev/null)
[ "$(stat -c %a umask.bin)" = 640 ] && pass "new output: 0666 less the umask 027" \
  || fail "new output: mode $(stat -c %a umask.bin) under umask 027"
chmod 604 umask.bin
(umask 077 && "$cli" fix-gems game.bin umask.bin >/dev/null)
[ "$(stat -c %a umask.bin)" = 604 ] && pass "replaced output: keeps its mode" \
  || fail "replaced output: mode $(stat -c %a umask.bin), was 604"

echo "# standard output"
run "$cli" info game.bin
cp out.txt info.txt
"$cli" info game.bin >/dev/full 2>err.txt
status=$?
expect "info > /dev/full" 1 "Cannot write to standard output: Disk full"
"$cli" fix-gems game.bin full.bin >/dev/full 2>err.txt
status=$?
expect "fix-gems > /dev/full" 1 "Cannot write to standard output: Disk full"
cmp -s full.bin from-ro.bin && pass "fix-gems > /dev/full: the output file is complete" \
  || fail "fix-gems > /dev/full: output file"
{ sleep 0.5; trap '' PIPE; "$cli" info game.bin 2>err.txt; } | true
status=${PIPESTATUS[0]}
expect "info into a closed pipe, SIGPIPE ignored" 1 "Cannot write to standard output"
{ sleep 0.5; "$cli" info game.bin 2>err.txt; } | true
status=${PIPESTATUS[0]}
[ "$status" -eq 141 ] && pass "info into a closed pipe: ended by SIGPIPE, as cat is" \
  || fail "info into a closed pipe: exit $status"
no_leftovers "standard output"

echo "# control bytes on a terminal"
cp game.bin ctrl.bin
printf '\033]0;owned\007\033[2J' | dd of=ctrl.bin bs=1 seek=$((0x120)) conv=notrunc status=none
script -qec "'$cli' info ctrl.bin" /dev/null >terminal.txt 2>&1
"$cli" info ctrl.bin >raw.txt
if grep -qF $'\033' terminal.txt; then
  fail "info on a terminal: an escape byte reached it"
elif ! grep -qF 'D-name: ?]0;owned??[2J' terminal.txt; then
  fail "info on a terminal: control bytes not shown as '?' ($(head -c 200 terminal.txt | od -c | head -3))"
else
  pass "info on a terminal: control bytes shown as '?'"
fi
grep -qF $'D-name: \033]0;owned\007\033[2J' raw.txt && pass "info into a file: bytes raw" \
  || fail "info into a file: bytes changed"

echo "# a full disk"
mkdir small
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=64k tmpfs small 2>/dev/null; then
  printf 'old' >small/out.bin
  run "$cli" fix-gems game.bin small/out.bin
  expect "full disk" 1 "Disk full"
  [ "$(cat small/out.bin)" = old ] && pass "full disk: the existing output is kept" || fail "full disk: output changed"
  no_leftovers "full disk" small
  umount small
else
  skip "full disk: mounting a small tmpfs needs root and a mount namespace that allows it"
fi

echo "# signals during a long run"
truncate -s 1G big.bin
dd if=game.bin of=big.bin bs=512 count=1 conv=notrunc status=none
for signal in TERM INT HUP; do
  rm -f .signal.bin.??????
  printf 'old' >signal.bin
  # With job control on, a background job keeps SIGINT (a shell ignores it in
  # background jobs otherwise).
  set -m
  "$cli" fix-gems big.bin signal.bin >/dev/null 2>err.txt &
  pid=$!
  set +m
  for _ in $(seq 600); do
    [ -n "$(leftovers)" ] && break
    sleep 0.05
  done
  if [ -z "$(leftovers)" ]; then
    fail "SIG$signal: the temporary file never appeared"
  fi
  kill -s "$signal" "$pid"
  wait "$pid" 2>/dev/null
  status=$?
  [ "$status" -eq $((128 + $(kill -l "$signal"))) ] && pass "SIG$signal during fix-gems: ended by the signal" \
    || fail "SIG$signal during fix-gems: exit $status"
  [ "$(cat signal.bin)" = old ] && pass "SIG$signal during fix-gems: the existing output is kept" \
    || fail "SIG$signal during fix-gems: output changed"
  no_leftovers "SIG$signal during fix-gems"
done

echo "# memory"
# fix-gems streams its input, so memory does not grow with the file: a run
# on an image far bigger than the address space allowed must complete, or
# at least fail with a message, never abort.
truncate -s 1G big2.bin
dd if=game.bin of=big2.bin bs=512 count=1 conv=notrunc status=none
run bash -c 'ulimit -v 16384 && exec "$0" fix-gems big2.bin big2-out.bin' "$plain"
# The image holds no GEMS tables: the output is written all the same, exit 4.
if [ "$status" -eq 4 ]; then
  [ "$(stat -c %s big2-out.bin)" = "$(stat -c %s big2.bin)" ] \
    && pass "1 GiB input under a 16 MiB address space: done" \
    || fail "1 GiB input under a 16 MiB address space: output incomplete"
else
  expect "1 GiB input under a 16 MiB address space" 1 "Not enough memory"
  [ ! -e big2-out.bin ] && pass "1 GiB input under a 16 MiB address space: no output" || fail "memory: output written"
fi
rm -f big2.bin big2-out.bin
no_leftovers "memory"

same_content "the input was never changed" game.bin game.orig
exit $failed
