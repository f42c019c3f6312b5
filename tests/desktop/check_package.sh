#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks a built Debian package: lintian finds no error or warning, and, even
# among its pedantic and informational tags, no program that lacks hardening
# or carries unneeded sections; the dependencies were read off the programs,
# and the programs unpacked from it run: varnoquil-cli tells its version,
# reads a ROM image's header and hashes it.
#
#   check_package.sh PACKAGE.deb VERSION
set -euo pipefail

package=$1 version=$2
root=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-package.XXXXXX")
trap 'rm -rf "$root"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

tags=$(lintian --fail-on error,warning --display-info --pedantic "$package" 2>/dev/null) ||
    fail "lintian found errors or warnings in $package: $tags"
unhardened=$(grep -E ': (hardening-[a-z-]+|binary-has-unneeded-section) ' <<<"$tags") &&
    fail "lintian finds programs built without hardening or with unneeded sections: $unhardened"

depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libqt6widgets6 libssl3 libpugixml1v5 libdeflate0; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "the package's version is not $version"

dpkg-deb -x "$package" "$root"
cli="$root/usr/bin/varnoquil-cli"
"$cli" --version | grep -qx "varnoquil-cli $version" || fail "the unpacked varnoquil-cli is not version $version"

# A small cartridge image: the console name and game names in its header.
{ head -c 256 /dev/zero; printf '%-16s%-16s%-48s%-48s' "SEGA MEGA DRIVE" "(C)VQL 2026.DEC" "PACKAGE CHECK" \
    "PACKAGE CHECK"; head -c 512 /dev/zero; } >"$root/check.bin"
info=$("$cli" info "$root/check.bin") || fail "varnoquil-cli info failed: $info"
[[ $info == *"SEGA MEGA DRIVE"*"PACKAGE CHECK"* ]] || fail "varnoquil-cli info did not show the header: $info"
# The SHA-1 comes from the libcrypto the package depends on, loaded as the tool runs.
[ "$("$cli" hash "$root/check.bin" 2>&1)" = "$(sha1sum "$root/check.bin")" ] ||
    fail "varnoquil-cli hash does not print what sha1sum prints"

[ "$failed" -eq 0 ] && echo "$package: lintian clean, programs hardened, dependencies from the programs, programs run"
exit "$failed"
