#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the bash completion of varnoquil-cli against its manual page: it
# offers exactly the commands the page describes, and after "-" every option
# the page's line of a command names. Then types preset names
# into an interactive bash on a pseudo-terminal (script(1), from util-linux):
# a name with a blank completes to one word whether the blank is escaped or
# a quote is open, and TAB TAB lists the names that fit.
#
#   check_completion.sh COMPLETION MANUAL_PAGE
set -euo pipefail

completion=$(realpath "$1")
failed=0
fail() { echo "FAIL: $*"; failed=1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-completion.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
trap '' PIPE

# shellcheck source=/dev/null
source "$completion"
COMP_WORDS=(varnoquil-cli "") COMP_CWORD=1
_varnoquil_cli
described=$(sed -n 's/^\.It Cm \([a-z-]*\).*/\1/p' "$2" | sort)
offered=$(printf '%s\n' "${COMPREPLY[@]}" | grep -v '^-' | sort)
[ "$described" = "$offered" ] ||
    fail "completion offers \"$(echo $offered)\", the manual page describes \"$(echo $described)\""
for command in $described; do
    COMP_WORDS=(varnoquil-cli "$command" -) COMP_CWORD=2
    _varnoquil_cli
    # ".It Cm checksum Oo Fl \-fix ... Fl r": --fix, -r.
    for option in $(awk -v c="$command" '$2 == "Cm" && $3 == c {
        for (i = 4; i < NF; ++i) if ($i == "Fl") print "-" $(i + 1) }' "$2" | tr -d '\\'); do
        [[ " ${COMPREPLY[*]} " == *" $option "* ]] || fail "completion of $command does not offer $option"
    done
done

# Readline without the machine's settings: no bell, no pager, no bracketed
# paste around the listing.
printf '%s\n' 'set bell-style none' 'set page-completions off' 'set completion-query-items 1000' \
    'set enable-bracketed-paste off' >"$scratch/inputrc"
screen=$scratch/screen

# Waits, until the session's deadline (in microseconds since 1970), for a
# line of the screen to match the extended regular expression.
wait_for() {
    until grep -Eq "$1" "$screen"; do ((${EPOCHREALTIME/[.,]/} < deadline)) && sleep 0.05 || return 1; done
}

# Starts bash on a pseudo-terminal with the completion loaded and
# varnoquil-cli a function that prints its arguments as [ARG]..., types
# "varnoquil-cli fix-gems --preset ", then KEYS (printf %b) and Enter, and
# ends the shell with Ctrl+D. Each prompt holds the command's number, so the
# result of the typed command is known to have come when prompt 3 shows; a
# quote left open gets Ctrl+D twice. A session still there after 5 s is
# killed (its shell then loses its terminal), and the status is 1.
type_preset() {
    local typing session status=0
    rm -f "$scratch/keys" && mkfifo "$scratch/keys"
    timeout -s KILL 5 script -qec "env -i PATH='$PATH' HOME='$scratch' TERM=dumb INPUTRC='$scratch/inputrc' \
        HISTFILE= PS1='VQ\\#> ' PS2='more> ' bash --norc --noprofile -i" /dev/null <"$scratch/keys" >"$screen" 2>&1 &
    session=$!
    exec {typing}>"$scratch/keys"
    # A key typed after the session is gone is lost, not fatal.
    press() { printf '%s' "$1" 1>&"$typing" 2>/dev/null || true; }
    deadline=$((${EPOCHREALTIME/[.,]/} + 5000000))
    wait_for '^VQ1> ' && press "source $(printf %q "$completion"); varnoquil-cli() { printf '[%s]' \"\$@\"; echo; }"$'\n'
    wait_for '^VQ2> ' && press "varnoquil-cli fix-gems --preset $(printf %b "$1")"$'\n'
    wait_for '^(VQ3|more)> ' && grep -q '^more> ' "$screen" && press $'\004'
    press $'\004'
    exec {typing}>&-
    wait "$session" || status=$?
    sed -i 's/\r//g' "$screen"
    [ "$status" -ne 137 ]
}

# Rows: the keys typed after the option, the names TAB TAB lists (sorted,
# joined by |), and the arguments the command then gets, split by ";".
while IFS=';' read -r keys listed arguments; do
    type_preset "$keys" || { fail "the shell did not end after '$keys'; the other rows are skipped" && break; }
    # Listing lines are the ones that are neither a prompt, nor the
    # command's output; columns are 2 blanks apart.
    shown=$({ grep -Ev '^(VQ[0-9]*> |more> |\[)' "$screen" || true; } | sed 's/  \+/\n/g' | sed '/^ *$/d' |
        LC_ALL=C sort | paste -sd '|')
    [ "$shown" = "$listed" ] || fail "after '$keys' TAB TAB listed '$shown', not '$listed'"
    grep -qFx "[fix-gems][--preset]$arguments" "$screen" ||
        fail "'$keys' ran the command as '$(grep '^\[' "$screen" || true)', not with $arguments; the terminal showed:
$(cat "$screen")"
done <<'EOF'
Very\\ \t\tL\t;Very\ Hi|Very\ Low;[Very Low]
"Very \t\tH\t;Very Hi|Very Low;[Very Hi]
'Very \t\tL\t;Very Hi|Very Low;[Very Low]
\t\tD\t;Default|Little\ Hi|Little\ Low|Sega\ Tavrik|Very\ Hi|Very\ Low;[Default]
Sega\t;;[Sega Tavrik]
EOF

[ "$failed" -eq 0 ] && echo "completion offers the manual page's commands and their options: $(echo $offered); preset names complete as one word"
exit "$failed"
