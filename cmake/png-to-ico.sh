#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Wraps a square PNG image of 256 pixels into an ICO file holding it alone,
# as Windows Vista and later read PNG images inside icons.
#
#   png-to-ico.sh PNG ICO
set -euo pipefail

# A number as the escapes of its n little-endian bytes.
little_endian() {
  local value=$1 n=$2 out=""
  for ((i = 0; i < n; i++)); do
    out+=$(printf '\\x%02x' $((value >> (8 * i) & 255)))
  done
  printf '%s' "$out"
}

size=$(wc -c <"$1")
{
  # The header: reserved, type 1 (icon), one image.
  printf '%b' "$(little_endian 0 2)$(little_endian 1 2)$(little_endian 1 2)"
  # The image's entry: 256 x 256 (written 0), no palette, 1 plane, 32 bits,
  # its size, and its offset after these 22 bytes.
  printf '%b' "\\x00\\x00\\x00\\x00$(little_endian 1 2)$(little_endian 32 2)$(little_endian "$size" 4)$(little_endian 22 4)"
  cat "$1"
} >"$2"
