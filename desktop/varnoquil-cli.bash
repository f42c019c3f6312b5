# SPDX-License-Identifier: MIT
# Bash completion for varnoquil-cli: its commands, each command's options,
# the preset names and file names. A new command needs a line in each case.

_varnoquil_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="info checksum scan fix-gems deinterleave tables engines --help --version"

    if [[ $COMP_CWORD -eq 1 ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
        return
    fi

    local options
    case ${COMP_WORDS[1]} in
        info | scan) options="-r --recursive --json" ;;
        checksum) options="--fix --force -r --recursive --json" ;;
        fix-gems) options="--preset --fm --psg --no-checksum --json" ;;
        deinterleave) options="" ;;
        tables) options="--fm --psg" ;;
        engines) return ;;
        *) return ;;
    esac

    case $prev in
        --preset)
            # Each name is one word on the command line: its blank is escaped.
            local name presets=("Sega Tavrik" "Very Hi" "Little Hi" "Default" "Little Low" "Very Low")
            COMPREPLY=()
            for name in "${presets[@]}"; do
                [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
            done
            return
            ;;
        --fm | --psg)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ ${COMP_WORDS[1]} != tables ]]; then
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
    fi
}
complete -F _varnoquil_cli varnoquil-cli
