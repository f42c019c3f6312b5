#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program again as an unprivileged user, so that its rules about
# permissions are really exercised: root reads and writes every file. The
# program runs from a copy in a scratch folder, which it also uses for its
# temporary files, so that the build folder need not be open to the user.
# Skipped (exit 77) when the tests do not run as root, as they then run
# unprivileged already, or when setpriv is missing.
#
#   run_unprivileged.sh PROGRAM
set -euo pipefail

[ "$(id -u)" -eq 0 ] || { echo "the tests already run as an unprivileged user"; exit 77; }
command -v setpriv >/dev/null || { echo "setpriv is missing"; exit 77; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-unprivileged.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
chmod 1777 "$scratch"
cp "$1" "$scratch/"
cd "$scratch"
TMPDIR=$scratch HOME=$scratch setpriv --reuid=65534 --regid=65534 --clear-groups "./$(basename "$1")"
