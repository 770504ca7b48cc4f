# Completion of jotwell-cli's commands, options, --replace answers and file names.

_jotwell_cli()
{
    local cur prev words cword
    _init_completion -s || return

    case $prev in
        --data-dir | --folder)
            _filedir -d
            return
            ;;
        --replace)
            COMPREPLY=($(compgen -W 'all none ask' -- "$cur"))
            return
            ;;
        --search | --under)
            return
            ;;
    esac

    # The command is the first word that is neither an option nor --data-dir's folder.
    local i command=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --data-dir) ((i++)) ;;
            -*) ;;
            *)
                command=${words[i]}
                break
                ;;
        esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--data-dir --help --version' -- "$cur"))
        else
            COMPREPLY=($(compgen -W 'add edit delete move list backup restore import export report check sync' -- "$cur"))
        fi
        return
    fi

    local options=
    case $command in
        add) options='--under' ;;
        move) options='--under --top' ;;
        list) options='--search --wide --ids --json' ;;
        restore) options='--replace' ;;
        export | report) options='--search --wide' ;;
        sync) options='--folder --status' ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
        backup | restore | import | export) _filedir kvx ;;
        report) _filedir '@(txt|htm|html)' ;;
    esac
}
complete -F _jotwell_cli jotwell-cli
