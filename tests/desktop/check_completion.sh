#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the bash completion of varnoquil-cli against its manual page: it
# offers exactly the commands the page describes, and a preset name with a
# blank completes as one word.
#
#   check_completion.sh COMPLETION MANUAL_PAGE
set -euo pipefail

# shellcheck source=/dev/null
source "$1"
page=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _varnoquil_cli
    printf '%s\n' "${COMPREPLY[@]}"
}

described=$(sed -n 's/^\.It Cm \([a-z-]*\).*/\1/p' "$page" | sort)
offered=$(complete_words varnoquil-cli "" | grep -v '^-' | sort)
[ "$described" = "$offered" ] ||
    fail "completion offers \"$(echo $offered)\", the manual page describes \"$(echo $described)\""

presets=$(complete_words varnoquil-cli fix-gems --preset "Sega")
[ "$presets" = 'Sega\ Tavrik' ] || fail "the preset completes as \"$presets\""

[ "$failed" -eq 0 ] && echo "completion offers the manual page's commands: $(echo $offered)"
exit "$failed"
