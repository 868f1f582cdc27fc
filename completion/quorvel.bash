# bash completion for quorvel: a .script file, then the folder to rename in; after
# --files, files; after --files-from, the list.

_quorvel() {
    local cur prev words cword
    _init_completion || return

    local i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == --files ]]; then
            _filedir
            return
        fi
    done
    if [[ $prev == --files-from ]]; then
        _filedir
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--files --files-from --help --version --' -- "$cur"))
        return
    fi
    case $cword in
        1) _filedir script ;;
        2) _filedir -d ;;
    esac
} &&
    complete -F _quorvel quorvel
