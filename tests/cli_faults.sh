#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs varnoquil-cli as a whole process against the edges of a real Linux
# file system that the unit tests cannot reach: device nodes, /sys files,
# /dev/full, closed pipes, a full disk and a memory limit. Each case checks
# the exit status, the message, and that nothing was lost or left behind.
#
# Usage: cli_faults.sh CLI [PLAIN_CLI]
# PLAIN_CLI is a build without sanitizers, for the case that limits the
# address space (a sanitized program cannot start under such a limit).
set -uo pipefail

cli=$(realpath "$1")
plain=$(realpath "${2:-$1}")
work=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-faults-XXXXXX")
trap 'mountpoint -q "$work/small" 2>/dev/null && umount "$work/small"; chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1

failed=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failed=1; }
skip() { echo "skip $1"; }
# check NAME COMMAND...: passes when the command succeeds.
check() { if "${@:2}"; then pass "$1"; else fail "$1"; fi; }

# run CMD...: runs it, keeping its exit status, standard output and error.
run() { "$@" >out.txt 2>err.txt; status=$?; }

# expect NAME STATUS MESSAGE [CMD...]: runs CMD when it is given; the last run
# ended with STATUS and its standard error holds MESSAGE.
expect() {
  [ $# -gt 3 ] && run "${@:4}"
  if [ "$status" -eq "$2" ] && { [ -z "$3" ] || grep -qF -- "$3" err.txt; }; then pass "$1"; else
    fail "$1: exit $status, expected $2; message '$(head -c 200 err.txt)', expected '$3'"; fi
}

# no_leftovers NAME [FOLDER]: no temporary file (a hidden .NAME.XXXXXX) was
# left in the folder.
no_leftovers() { check "$1: nothing left behind" [ -z "$(find "${2:-.}" -maxdepth 1 -name '.*.??????')" ]; }

# A game image: random data under a header.
head -c 65536 /dev/urandom >game.bin
printf 'SEGA MEGA DRIVE ' | dd of=game.bin bs=1 seek=256 conv=notrunc status=none
cp game.bin game.orig

echo "# outputs that are not regular files"
# Device nodes: root may make them, where the system lets it. The block
# device's number is one nothing answers to: were it opened, it would fail
# with another message; were it written, nothing real would change.
for node in "null.dev c 1 3" "none.blk b 240 0"; do
  read -r name kind major minor <<<"$node"
  if mknod "$name" "$kind" "$major" "$minor" 2>/dev/null; then
    expect "$name as output" 1 "The output must be a regular file" "$cli" fix-gems game.bin "$name"
    expect "$name as checksum repair target" 1 "The input must be a regular file" "$cli" checksum --fix "$name"
    check "$name as output: still a device" [ -"$kind" "$name" ]
    rm "$name"
  else
    skip "$name as output: mknod is not allowed here (it needs root)"
  fi
done
no_leftovers "outputs that are not regular files"

echo "# inputs that are not regular files"
sys_file=/sys/kernel/mm/transparent_hugepage/enabled
if [ -r "$sys_file" ]; then
  expect "/sys file as input" 1 "The input must be a regular file" "$cli" info "$sys_file"
else
  skip "/sys file as input: $sys_file is missing"
fi
mkdir folder.bin
# info, checksum and scan take a folder for the images in it: none here.
expect "folder of images as input" 0 "0 files: 0 read, 0 failed" "$cli" info folder.bin
no_leftovers "inputs that are not regular files"

echo "# standard output"
run "$cli" fix-gems game.bin whole.bin
for command in "info game.bin" "checksum game.bin" "checksum game.bin game.bin" tables --help "fix-gems game.bin full.bin"; do
  # shellcheck disable=SC2016 # the command's words, split by the shell that runs it
  expect "$command > /dev/full" 1 "Cannot write to standard output: Disk full" sh -c '"$0" $1 >/dev/full' "$cli" "$command"
done
check "fix-gems > /dev/full: the output file is complete" cmp -s full.bin whole.bin
# A run stops at the first result it cannot write: the images after it stay
# as they were.
mkdir many
for i in $(seq 100 199); do cp game.bin "many/g$i.bin"; done
# shellcheck disable=SC2016 # "$0" is the shell's own argument, the tool
expect "checksum --fix of 100 images > /dev/full" 1 "Cannot write to standard output: Disk full" \
  sh -c '"$0" checksum --fix --json many >/dev/full' "$cli"
check "checksum --fix of 100 images > /dev/full: the run stopped" \
  [ -n "$(for image in many/*.bin; do cmp -s "$image" game.bin && echo "$image"; done)" ]
rm -rf many
# The reader ends before the tool writes; an ignored SIGPIPE is inherited.
into_closed_pipe='{ sleep 0.5; "$0" info game.bin; } | true; exit "${PIPESTATUS[0]}"'
expect "info into a closed pipe, SIGPIPE ignored" 1 "Cannot write to standard output" \
  bash -c "trap '' PIPE; $into_closed_pipe" "$cli"
expect "info into a closed pipe: ended by SIGPIPE, as cat is" 141 "" bash -c "$into_closed_pipe" "$cli"
no_leftovers "standard output"

echo "# closed standard descriptors"
# A descriptor closed at start must not lead the tool's own lines into the
# first file it opens on that number: every image must hold what a run with
# all three open leaves in it.
mkdir closed reference
cp game.bin reference/g.bin
"$cli" checksum --fix reference/g.bin >/dev/null
# An input shorter than the status lines, which would outlast its copy.
head -c 16 game.bin >reference/tiny.bin
for fd in 0 1 2; do
  for i in $(seq 1 300); do cp game.bin "closed/g$i.bin"; done
  eval "\"\$cli\" checksum --fix --json closed >/dev/null 2>&1 $fd>&-"
  check "checksum --fix with descriptor $fd closed: every image as it should be" \
    [ -z "$(for image in closed/*.bin; do cmp -s "$image" reference/g.bin || echo "$image"; done)" ]
  eval "\"\$cli\" fix-gems --no-checksum reference/tiny.bin retuned.bin >/dev/null 2>&1 <&- $fd>&-"
  check "fix-gems with descriptors 0 and $fd closed: the output as it should be" cmp -s retuned.bin reference/tiny.bin
done
rm -rf closed reference retuned.bin

echo "# folders that cannot be read"
# Root reads every folder: the tool runs as an unprivileged user here.
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
if [ "$(id -u)" -ne 0 ] || command -v setpriv >/dev/null; then
  # In the closed folder a subfolder might be entered, so it is reported; a
  # hidden one would not be, so it is not.
  mkdir -p perm/locked perm/closed/sub perm/closed/.cache perm/open
  for image in perm/a.bin perm/locked/b.bin perm/closed/c.bin perm/open/d.bin; do cp game.bin "$image"; done
  chmod 755 "$work"
  chmod 000 perm/locked
  chmod 644 perm/closed # its names can be read, but nothing in it reached
  expect "an unreadable folder" 1 "varnoquil-cli: perm/locked: File access denied" "${as_user[@]}" "$cli" checksum perm/locked
  check "an unreadable folder: counted as failed" grep -qx "1 files: 0 equal, 0 differ, 0 fixed, 1 failed" err.txt
  run "${as_user[@]}" "$cli" checksum -r perm
  for refused in perm/closed/c.bin perm/locked perm/closed/sub; do
    expect "a tree with unreadable folders: $refused" 1 "varnoquil-cli: $refused: File access denied"
  done
  check "a tree with unreadable folders: no hidden folder" [ -z "$(grep -F .cache err.txt)" ]
  check "a tree with unreadable folders: counted" grep -qx "5 files: 0 equal, 2 differ, 0 fixed, 3 failed" err.txt
  chmod 755 perm/locked perm/closed
  rm -rf perm
else
  skip "folders that cannot be read: setpriv is missing, and root reads every folder"
fi

echo "# a full disk"
mkdir small
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=64k tmpfs small 2>/dev/null; then
  printf 'old' >small/out.bin
  expect "full disk" 1 "Disk full" "$cli" fix-gems game.bin small/out.bin
  check "full disk: the existing output is kept" [ "$(cat small/out.bin)" = old ]
  no_leftovers "full disk" small
  umount small
else
  skip "full disk: mounting a small tmpfs needs root and a mount namespace that allows it"
fi

echo "# memory"
# fix-gems streams its input, so memory does not grow with the file: a run
# on an image far bigger than the address space allowed must complete, or
# at least fail with a message, never abort.
truncate -s 1G big2.bin
dd if=game.bin of=big2.bin bs=512 count=1 conv=notrunc status=none
run bash -c 'ulimit -v 16384 && exec "$0" fix-gems big2.bin big2-out.bin' "$plain"
# The image holds no GEMS tables: the output is written all the same, exit 4.
if [ "$status" -eq 4 ]; then
  check "1 GiB input under a 16 MiB address space: done" [ "$(stat -c %s big2-out.bin)" = "$(stat -c %s big2.bin)" ]
else
  expect "1 GiB input under a 16 MiB address space" 1 "Not enough memory"
  check "1 GiB input under a 16 MiB address space: no output" [ ! -e big2-out.bin ]
fi
rm -f big2.bin big2-out.bin
no_leftovers "memory"

check "the input was never changed" cmp -s game.bin game.orig
exit $failed
