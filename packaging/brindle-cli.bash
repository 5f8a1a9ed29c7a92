# bash completion for brindle-cli: its commands, each command's options (both
# read from the program's own --help), and the macro and combination names
# of the data folder (the one given with --data, otherwise the default one).

# The usage lines of one command (from "Usage:" to the first empty line).
_brindle_cli_usage() {
    "$1" "$2" --help 2>/dev/null | sed -n '/^Usage:/,/^$/p'
}

# Names listed by `brindle-cli macros` or `combos`, trailing blanks removed.
_brindle_cli_names() {
    local program=$1 list=$2 data=$3 name
    local -a args=("$list")
    [[ -n $data ]] && args+=(--data "$data")
    while IFS= read -r name; do
        name=${name%"${name##*[! ]}"}
        [[ -n $name ]] && printf '%s\n' "$name"
    done < <("$program" "${args[@]}" 2>/dev/null)
}

# Adds the names of a list that begin with the word typed, quoted for the shell.
_brindle_cli_add_names() {
    local program=$1 list=$2 data=$3 typed=$4 name
    typed=${typed//\\ / }
    typed=${typed#[\"\']}
    while IFS= read -r name; do
        [[ $name == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
    done < <(_brindle_cli_names "$program" "$list" "$data")
}

_brindle_cli() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]}
    program=${program/#\~/$HOME}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | awk '/^Commands:/ {on = 1; next}
                                                         on && /^  [a-z]/ {print $1}
                                                         on && /^$/ {exit}')
        mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$cur")
        return
    fi

    local command=${COMP_WORDS[1]} usage
    usage=$(_brindle_cli_usage "$program" "$command")
    # Options that take a value are written "--name VALUE" in the usage.
    local valued
    valued=" $(grep -oE -- '--[a-z-]+ [A-Z]' <<<"$usage" | cut -d' ' -f1 | tr '\n' ' ') --data-dir "

    # The data folder and the position of the word among the arguments.
    local data="" position=0 i word ended=""
    for ((i = 2; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -z $ended && $word == -- ]]; then
            ended=1
        elif [[ -z $ended && $valued == *" $word "* ]]; then
            [[ $word == --data || $word == --data-dir ]] && data=${COMP_WORDS[i + 1]/#\~/$HOME}
            ((i++))
        elif [[ -z $ended && $word == -* ]]; then
            :
        else
            ((position++))
        fi
    done

    if [[ $valued == *" $prev "* ]]; then
        case $prev in
            --data | --data-dir)
                compopt -o filenames
                mapfile -t COMPREPLY < <(compgen -d -- "$cur")
                ;;
            --out | --port)
                compopt -o filenames
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                ;;
            --combo) _brindle_cli_add_names "$program" combos "$data" "$cur" ;;
        esac
        return
    fi
    if [[ $cur == -* && -z $ended ]]; then
        local options
        options=$(grep -oE -- '--[a-z-]+' <<<"$usage" | sort -u | tr '\n' ' ')
        mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
        return
    fi

    # What the argument at this position names.
    local kind=""
    case $command:$position in
        show-macro:0 | delete-macro:0 | add-macro:0 | insert:1) kind=macros ;;
        add-combo:0 | show-combo:0 | delete-combo:0 | insert:0 | unlink:0) kind=combos ;;
        add-combo:*) kind=macros ;;
        add-macro:1 | normalise:0 | compile:0 | restore:0) kind=file ;;
        export:0 | import:0) kind=folder ;;
    esac
    case $kind in
        macros | combos) _brindle_cli_add_names "$program" "$kind" "$data" "$cur" ;;
        file)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            ;;
        folder)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            ;;
    esac
}

complete -F _brindle_cli brindle-cli
