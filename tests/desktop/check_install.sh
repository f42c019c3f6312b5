#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs a build tree into a temporary folder and checks what lands there:
# exactly the expected files, icons of the sizes their folders name, and one
# version in the programs, the manual pages and the AppStream data.
#
#   check_install.sh BUILD_DIR VERSION
set -euo pipefail

build=$1 version=$2
root=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-install.XXXXXX")
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# In the order of their bytes, as sorted below.
expected=$(printf '%s\n' usr/bin/varnoquil usr/bin/varnoquil-cli \
    usr/share/applications/io.github.varnoquil.Varnoquil.desktop usr/share/bash-completion/completions/varnoquil-cli \
    usr/share/doc/varnoquil/changelog.gz usr/share/doc/varnoquil/copyright \
    usr/share/icons/hicolor/{128x128,48x48}/apps/io.github.varnoquil.Varnoquil.png \
    usr/share/icons/hicolor/scalable/apps/io.github.varnoquil.Varnoquil.svg \
    usr/share/man/man1/varnoquil-cli.1.gz usr/share/man/man1/varnoquil.1.gz \
    usr/share/metainfo/io.github.varnoquil.Varnoquil.metainfo.xml)
diff <(echo "$expected") <(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from the expected ones (above)"

for size in 48 128; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/io.github.varnoquil.Varnoquil.png"
    file -b "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a $size-pixel PNG: $(file -b "$png")"
done

for program in varnoquil varnoquil-cli; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --version | grep -qx "$program $version" ||
        fail "$program --version is not $version"
    zcat "$root/usr/share/man/man1/$program.1.gz" | grep -qx "\.Os Varnoquil $version" ||
        fail "$program.1 is not for version $version"
done
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.varnoquil.Varnoquil.metainfo.xml" ||
    fail "the AppStream data has no release $version"

[ "$failed" -eq 0 ] && echo "install holds the expected files, version $version everywhere"
exit "$failed"
