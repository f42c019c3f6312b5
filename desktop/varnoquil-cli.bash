# SPDX-License-Identifier: MIT
# Bash completion for varnoquil-cli: its commands, each command's options,
# the preset names and file names. A new command needs a line in each case.

_varnoquil_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="info checksum scan hash identify fix-gems convert tables engines -h --help -v --version"

    if [[ $COMP_CWORD -eq 1 ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
        return
    fi

    local options
    case ${COMP_WORDS[1]} in
        info) options="-r --recursive --json --long" ;;
        scan) options="-r --recursive --json" ;;
        checksum) options="--fix --force --dat -r --recursive --json" ;;
        hash) options="--crc32 --md5 --sha1 --sha256 -r --recursive" ;;
        identify) options="--dat -r --recursive --json" ;;
        fix-gems) options="--preset --fm --psg --no-checksum --json" ;;
        convert | deinterleave) options="" ;;
        tables) options="--fm --psg" ;;
        engines) return ;;
        *) return ;;
    esac

    case $prev in
        --preset)
            # A name holds a blank, so the word is compared as the shell will
            # read it. After an opening quote readline replaces only the text
            # behind the quote and closes it, so the name goes in as it is;
            # otherwise its blank is escaped.
            local name typed=${cur:1} quoted=1 i
            local presets=("Sega Tavrik" "Very Hi" "Little Hi" "Default" "Little Low" "Very Low")
            if [[ $cur != [\"\']* ]]; then
                quoted=0 typed=
                for ((i = 0; i < ${#cur}; i++)); do
                    [[ ${cur:i:1} == \\ ]] && ((++i))
                    typed+=${cur:i:1}
                done
            fi
            COMPREPLY=()
            for name in "${presets[@]}"; do
                [[ $name == "$typed"* ]] || continue
                if ((quoted)); then
                    COMPREPLY+=("$name")
                else
                    COMPREPLY+=("$(printf '%q' "$name")")
                fi
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
