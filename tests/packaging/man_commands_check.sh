#!/usr/bin/env bash
# The manual page of brindle-cli has one section per command, in the order
# and with the options that `brindle-cli --help` and each command's --help
# give: a command added, renamed or given a new option without its page
# fails here.
#   man_commands_check.sh BRINDLE_CLI PAGE   (PAGE may be gzip-compressed)
set -euo pipefail
cli=$1
page=$2

page_text() { if [[ $page == *.gz ]]; then zcat "$page"; else cat "$page"; fi; }

from_help=$("$cli" --help | awk '/^Commands:/ {on = 1; next} on && /^$/ {exit} on {print $1}')
from_page=$(page_text | awk '/^\.SH / {on = ($2 == "COMMANDS")} on && /^\.SS / {print $2}')
if [[ -z $from_help ]]; then
    echo "brindle-cli --help lists no commands" >&2
    exit 1
fi
if [[ $from_help != "$from_page" ]]; then
    echo "The page's commands differ from brindle-cli --help (< help, > page):" >&2
    diff <(echo "$from_help") <(echo "$from_page") >&2 || true
    exit 1
fi

status=0
for command in $from_help; do
    help_options=$("$cli" "$command" --help | sed -n '/^Usage:/,/^$/p' |
        grep -oE -- '--[a-z-]+' | sort -u)
    # The page writes a minus as \-.
    page_options=$(page_text | awk -v c="$command" '/^\.S[SH] / {on = ($1 == ".SS" && $2 == c); next} on' |
        sed 's/\\-/-/g' | grep -oE -- '--[a-z-]+' | sort -u || true)
    if [[ $help_options != "$page_options" ]]; then
        echo "Options of $command differ (< help, > page):" >&2
        diff <(echo "$help_options") <(echo "$page_options") >&2 || true
        status=1
    fi
done
[[ $status -eq 0 ]] && echo "$(wc -w <<<"$from_help") commands and their options match"
exit $status
