# bash completion for quorvel-cli: commands, their options (before the first
# operand only, as quorvel-cli reads them), .script files for SCRIPT, folders
# for FOLDER.

_quorvel_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="apply check preview run pairs edit undo resume history help"
    if ((cword == 1)); then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    local command=${words[1]} i operand=0 options=1
    if ((options)) && [[ $prev == --sort ]]; then
        COMPREPLY=($(compgen -W "name size modified taken" -- "$cur"))
        return
    fi
    if ((options)) && [[ $prev == --depth ]]; then
        COMPREPLY=($(compgen -W "1 2 3" -- "$cur")) # a depth: any whole number from 1
        return
    fi
    for ((i = 2; i < cword; i++)); do
        if ((options)) && [[ ${words[i]} == -- ]]; then
            options=0
        elif ((options)) && [[ ${words[i]} == --sort || ${words[i]} == --depth ]]; then
            ((i++)) # its value
        elif ((options)) && [[ ${words[i]} == -?* ]]; then
            [[ ${words[i]} == -h || ${words[i]} == --help ]] && return
        else
            options=0
            ((operand++))
        fi
    done

    if ((options)) && [[ $cur == -* ]]; then
        local flags="--help --"
        local tree="-r --recursive --depth --folders --folders-only --cross-devices"
        case $command in
            run) flags="--dry-run -0 --null --sort --reverse $tree $flags" ;;
            pairs) flags="--dry-run -0 --null $flags" ;;
            edit) flags="--sort --reverse $tree $flags" ;;
            preview) flags="-0 --null --sort --reverse $tree $flags" ;;
            apply) flags="-0 --null $flags" ;;
        esac
        COMPREPLY=($(compgen -W "$flags" -- "$cur"))
        return
    fi

    case $command,$operand in
        apply,0 | check,0 | preview,0 | run,0)
            _filedir script
            ;;
        apply,*)
            _filedir
            ;;
        pairs,1)
            _filedir
            ;;
        preview,1 | run,1 | pairs,0 | edit,0 | undo,0 | resume,0 | history,0)
            _filedir -d
            ;;
        preview,2 | run,2 | edit,1)
            COMPREPLY=($(compgen -W "'*.*' '*.jpg;*.jpeg;*.png'" -- "$cur"))
            ;;
        help,0)
            COMPREPLY=($(compgen -W "${commands% help}" -- "$cur"))
            ;;
    esac
} &&
    complete -F _quorvel_cli quorvel-cli
