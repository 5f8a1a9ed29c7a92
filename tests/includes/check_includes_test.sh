#!/usr/bin/env bash
# The include check on fixture trees: each fixture must give exactly the
# expected verdict and name the offending include or cycle, so that a broken
# check cannot pass silently. Usage: check_includes_test.sh CHECK FIXTURES
set -uo pipefail
check=$1
fixtures=$2
failures=0

# fixture | exit status | what standard error must say
cases=(
    "clean|0|"
    "upward|1|Wrong way: store/records.cpp:2 includes link/frames.h (store/ may not include link/)"
    "sideways|1|Wrong way: macrotext/hex.h:2 includes link/frames.h (macrotext/ may not include link/)"
    "exception_reversed|1|Wrong way: download/plan.cpp:1 includes library/editor.h (download/ may not include library/)"
    "core_to_top|1|Wrong way: utilities/read_back.cpp:1 includes app/window.h (utilities/ may not include app/)"
    "tops|1|Wrong way: cli/main.cpp:1 includes app/window.h (cli/ may not include app/)"
    "cycle|1|Include cycle: store/config -> store/journal -> store/lock -> store/config"
    "header_cycle|1|Include cycle: base/a -> base/b -> base/a"
)

for row in "${cases[@]}"; do
    IFS='|' read -r fixture want_status want_message <<<"$row"
    message=$(bash "$check" "$fixtures/$fixture" 2>&1 >/dev/null)
    status=$?
    if [ "$status" -ne "$want_status" ]; then
        echo "FAIL $fixture: exit status $status, expected $want_status; said: $message"
        failures=$((failures + 1))
    elif [ "$message" != "$want_message" ]; then
        echo "FAIL $fixture: said"
        echo "  $message"
        echo "expected"
        echo "  $want_message"
        failures=$((failures + 1))
    else
        echo "ok   $fixture"
    fi
done

# A folder with none of the source folders is a mistake, not a pass.
bash "$check" "$fixtures/no-such-tree" >/dev/null 2>&1
status=$?
if [ "$status" -eq 0 ] || [ "$status" -eq 1 ]; then
    echo "FAIL a missing tree gave exit status $status"
    failures=$((failures + 1))
fi

exit $((failures > 0))
