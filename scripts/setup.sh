#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages needed to build, test and run Varnoquil, only
# those that are missing.
set -euo pipefail

# After the build tools: rsvg-convert renders the icon; the others check the
# installed files and the Debian package, and run the window on Wayland.
# clang and its runtime libraries (libFuzzer among them) build the fuzz
# harnesses.
packages=(g++ cmake ninja-build qt6-base-dev libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev fonts-dejavu-core
  librsvg2-bin desktop-file-utils appstream mandoc file lintian dpkg-dev weston qt6-wayland
  clang libclang-rt-dev)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
