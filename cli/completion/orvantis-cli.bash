# bash completion for orvantis-cli: commands, options, screens, colour names and .tsk files.
# A test holds the option and colour names here against "orvantis-cli --help".

_orvantis_cli()
{
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion -n = || return
    else
        COMPREPLY=()
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD-1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi

    local commands="info render build extract device check thumbnail"
    local colours="titlebar-left titlebar-right titlebar-text today-text today-lines command-bar
        navigation-tray message-left message-right important-left important-right
        5 8 9 4 6 7 10 11 12 13 14 25 26"
    local render_opts="--screen --time --date -o"
    local build_opts="--name --color --today --menu --fit --focus --zoom --depth --brightness
        --contrast --gamma --fix-contrast --match-colors -o"

    # --name=VALUE: complete the value after the sign, whether bash split the word at it or not.
    if [[ $cur == = ]]; then
        cur=""
    elif [[ $prev == = && $cword -ge 2 ]]; then
        prev=${words[cword-2]}
    fi
    if [[ $cur == --*=* ]]; then
        prev=${cur%%=*}
        cur=${cur#*=}
    fi

    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help -h --version" -- "$cur"))
        return
    fi

    case $prev in
        --screen)
            COMPREPLY=($(compgen -W "main message important navigation menu" -- "$cur"))
            return ;;
        --fit)
            COMPREPLY=($(compgen -W "crop resize place" -- "$cur"))
            return ;;
        --depth)
            COMPREPLY=($(compgen -W "256 16m" -- "$cur"))
            return ;;
        --color)
            compopt -o nospace 2>/dev/null
            COMPREPLY=($(compgen -W "$colours" -S "=#" -- "$cur"))
            return ;;
        --today|--menu)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        -o)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --name|--time|--date|--focus|--zoom|--brightness|--contrast|--gamma)
            return ;;
    esac

    local tsk=($(compgen -f -X '!*.[tT][sS][kK]' -- "$cur") $(compgen -d -- "$cur"))
    case ${words[1]} in
        info|check)
            COMPREPLY=("${tsk[@]}") ;;
        thumbnail)
            if [[ $cword -eq 2 ]]; then COMPREPLY=("${tsk[@]}"); else COMPREPLY=($(compgen -f -- "$cur")); fi ;;
        extract)
            if [[ $cword -eq 2 ]]; then COMPREPLY=("${tsk[@]}"); else COMPREPLY=($(compgen -d -- "$cur")); fi ;;
        render)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "$render_opts" -- "$cur"))
            else
                COMPREPLY=("${tsk[@]}")
            fi ;;
        build)
            COMPREPLY=($(compgen -W "$build_opts" -- "$cur")) ;;
        device)
            if [[ $cword -eq 2 ]]; then
                COMPREPLY=($(compgen -W "list get put delete init" -- "$cur"))
            elif [[ ${words[2]} == put ]]; then
                COMPREPLY=("${tsk[@]}")
            elif [[ ${words[2]} == init || ( ${words[2]} == get && $cword -eq 4 ) ]]; then
                COMPREPLY=($(compgen -d -- "$cur"))
            fi ;;
    esac
}
complete -o filenames -F _orvantis_cli orvantis-cli
