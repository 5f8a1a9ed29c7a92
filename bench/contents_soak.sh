#!/usr/bin/env bash
# Soak of the commands that read the module's contents: seeded runs of
# 'brindle-cli download --changed-only', 'verify' and 'restore' into
# brindle-modsim while the line misbehaves (30 % of the replies dropped, 1 %
# of the reply bytes corrupted; the dumps suffer alike). Every run must end
# exact or honestly failed:
#   changed-only  the module held OLD, NEW is downloaded changed-only: exit 0
#                 and the E2PROM equal to a clean whole download of NEW over
#                 OLD, or exit 1 and location 3 not "X"
#   verify        the module holds OLD: 'verify OLD' exits 0, or 1 naming only
#                 bytes "not known for certain" or an unreadable location 3;
#                 'verify NEW' (seed even) must exit 1
#   restore       a blank module, a .hex backup of OLD restored: exit 0 and
#                 the E2PROM equal to OLD's, or exit 1 and location 3 not "X"
# Prints one table row per mode. Not a test: it reports.
#
#   bench/contents_soak.sh [BUILD_DIR] [RUNS]      RUNS (default 100) per mode
#   BAUD=38400 TICK_MS=1 BOUND_S=120 SEED=1 MODES="changed-only verify restore"
set -euo pipefail
build=${1:-build}
runs=${2:-100}
baud=${BAUD:-38400}
tickMs=${TICK_MS:-1}
bound=${BOUND_S:-120}
seedBase=${SEED:-1}
modes=${MODES:-changed-only verify restore}
cli=$build/cli/brindle-cli
sim=${SIM:-$build/sim/brindle-modsim}

source "$(dirname "$0")/sim_work.sh"

# OLD: three macros; NEW: the same with the last one's moves changed.
for m in 1 2 3; do
    for line in 1 2 3 4; do printf '%d MA %d\r\n' "$m" $((1000 * m + line)); done >"$work/M$m.txt"
    printf 'MACRO 0\r\n' >>"$work/M$m.txt"
    "$cli" add-macro --data "$work" "M$m" "$work/M$m.txt" >/dev/null
done
for line in 1 2 3 4; do printf '3 MA %d\r\n' $((5000 + line)); done >"$work/M3B.txt"
"$cli" add-macro --data "$work" M3B "$work/M3B.txt" >/dev/null
"$cli" add-combo --data "$work" --node 3 --boot 1 OLD M1 M2 M3 >/dev/null
"$cli" add-combo --data "$work" --node 3 --boot 1 NEW M1 M2 M3B >/dev/null

cliRun() {
    timeout --kill-after=5 "$bound" "$cli" "$@" --data "$work" --tick-ms "$tickMs" \
        --baud "$baud" >"$work/out.txt" 2>"$work/err.txt"
}

# References on a clean line.
rm -f "$work/ee.bin"
startSim
cliRun download --combo OLD
cp "$work/ee.bin" "$work/old.bin"
cliRun backup --out "$work/old.hex"
cliRun download --combo NEW
stopSim
cp "$work/ee.bin" "$work/new.bin"

runOnce() {
    local mode=$1 seed=$2 status=0 target
    case $mode in
        restore) rm -f "$work/ee.bin" ;;
        *) cp "$work/old.bin" "$work/ee.bin" ;;
    esac
    startSim --drop 0.3 --corrupt-bytes 0.01 --seed "$seed"
    case $mode in
        changed-only) cliRun download --combo NEW --changed-only || status=$? ;;
        verify)
            target=OLD
            [ $((seed % 2)) = 0 ] && target=NEW
            cliRun verify --combo "$target" || status=$?
            ;;
        restore) cliRun restore "$work/old.hex" || status=$? ;;
    esac
    stopSim
    local mark
    mark=$(dd if="$work/ee.bin" bs=1 skip=3 count=1 2>/dev/null)
    result=wrong
    if [ "$status" = 124 ] || [ "$status" = 137 ]; then
        result=hang
    elif [ "$mode" = verify ]; then
        if [ "$target" = NEW ]; then
            [ "$status" = 1 ] && result=exact
        elif [ "$status" = 0 ]; then
            result=exact
        elif [ "$status" = 1 ] && { grep -q "could not be read" "$work/err.txt" ||
            ! grep -E "^  " "$work/out.txt" | grep -vq "not known for certain"; }; then
            result=honest
        fi
    else
        local want=$work/new.bin
        [ "$mode" = restore ] && want=$work/old.bin
        if [ "$status" = 0 ] && cmp -s "$work/ee.bin" "$want"; then
            result=exact
        elif [ "$status" = 1 ] && [ "$mark" != X ]; then
            result=honest
        fi
    fi
    if [ "$result" = wrong ]; then
        { echo "$mode, seed $seed: exit $status, location 3 \"$mark\""; tail -n 3 "$work/err.txt"; } >&2
    fi
}

echo "$baud baud, ticks of $tickMs ms, bound $bound s a run; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| mode | runs | exact | honest failures | hangs | wrong | seconds |"
echo "|---|---|---|---|---|---|---|"
for mode in $modes; do
    exact=0 honest=0 hangs=0 wrong=0
    modeStart=$(date +%s.%N)
    for i in $(seq "$runs"); do
        runOnce "$mode" $((seedBase + i))
        case $result in
            exact) exact=$((exact + 1)) ;;
            honest) honest=$((honest + 1)) ;;
            hang) hangs=$((hangs + 1)) ;;
            *) wrong=$((wrong + 1)) ;;
        esac
    done
    modeEnd=$(date +%s.%N)
    awk -v l="$mode" -v r="$runs" -v e="$exact" -v h="$honest" -v g="$hangs" -v o="$wrong" \
        -v a="$modeStart" -v b="$modeEnd" \
        'BEGIN { printf "| %s | %d | %d | %d | %d | %d | %.0f |\n", l, r, e, h, g, o, b - a }'
done
