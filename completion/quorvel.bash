# bash completion for quorvel: a .script file, then the folder to rename in.

_quorvel() {
    local cur prev words cword
    _init_completion || return

    case $cword in
        1) _filedir script ;;
        2) _filedir -d ;;
    esac
} &&
    complete -F _quorvel quorvel
