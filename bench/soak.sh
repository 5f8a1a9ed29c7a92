#!/usr/bin/env bash
# Soak: many seeded downloads with brindle-cli into brindle-modsim while the
# line misbehaves, to show that every run ends honestly. A run ends either
# with "Download successful" and the simulator's E2PROM equal, byte for byte,
# to the one a clean run leaves, or with a failure message and location 3 not
# "X"; a run still going after its bound is a hang. Prints one table row per
# kind of trouble and the time the whole soak took. Not a test: it reports.
#
#   bench/soak.sh [BUILD_DIR] [NOISY_RUNS] [FAULT_RUNS]
#
#   NOISY_RUNS (default 100): 30 % of the replies dropped and 1 % of the
#     reply bytes corrupted, each run with its own seed
#   FAULT_RUNS (default 20) for each of: a silent module, a module that stops
#     answering after a seeded number of frames, a module that keeps talking
#     and never answers the wake-up, and a port that vanishes mid-run (the
#     simulator killed after a seeded delay)
#   BAUD=38400 TICK_MS=1 BOUND_S=60 SEED=1   (the defaults)
#   MACROS=2 LINES=2: the combination's macros and the moves in each (at 30 %
#     dropped replies a byte costs about 80 ms, so keep it short)
#   SIM=path/to/brindle-modsim   (default: the one in BUILD_DIR)
set -euo pipefail
build=${1:-build}
noisyRuns=${2:-100}
faultRuns=${3:-20}
baud=${BAUD:-38400}
tickMs=${TICK_MS:-1}
bound=${BOUND_S:-60}
seedBase=${SEED:-1}
cli=$build/cli/brindle-cli
sim=${SIM:-$build/sim/brindle-modsim}

source "$(dirname "$0")/sim_work.sh"

# The combination: macros without jumps, so that each one's image is what
# 'brindle-cli compile' makes of its text wherever it lies.
macros=${MACROS:-2}
lines=${LINES:-2}
names=()
for m in $(seq "$macros"); do
    name="SOAK$m"
    for line in $(seq "$lines"); do printf '%d MA %d\r\n' "$m" $((1000 * m + line)); done >"$work/$name.txt"
    printf 'MACRO 0\r\n' >>"$work/$name.txt"
    "$cli" add-macro --data "$work" "$name" "$work/$name.txt" >/dev/null
    names+=("$name")
done
"$cli" add-combo --data "$work" --node 3 --boot 1 SOAK "${names[@]}" >/dev/null



download() {
    timeout --kill-after=5 "$bound" "$cli" download --data "$work" --combo SOAK \
        --tick-ms "$tickMs" --baud "$baud" 2>"$work/err.txt"
}

# The reference: a clean run, checked against the compiled images.
startSim
download || { cat "$work/err.txt" >&2; exit 1; }
stopSim
cp "$work/ee.bin" "$work/ref.bin"
for name in "${names[@]}"; do "$cli" compile --data "$work" "$work/$name.txt"; done >"$work/images.bin"
imageBytes=$(stat -c %s "$work/images.bin")
if ! cmp -s <(tail -c +3587 "$work/ref.bin" | head -c "$imageBytes") "$work/images.bin"; then
    echo "the clean run's macro area is not the compiled images" >&2
    exit 1
fi
if [ "$(dd if="$work/ref.bin" bs=1 skip=3 count=1 2>/dev/null)" != X ]; then
    echo "the clean run did not leave \"X\" at location 3" >&2
    exit 1
fi
# Frames a whole clean run sends (a write and two reads a byte, about).
written=$((imageBytes + 14 * macros + 5))
frames=$((written * 3))

# One run; sets result to its class: exact, honest, hang or wrong (whose
# messages go to standard error).
runOnce() {
    local mode=$1 seed=$2
    RANDOM=$seed
    rm -f "$work/ee.bin"  # every run downloads into an empty module
    case $mode in
        noisy) startSim --drop 0.3 --corrupt-bytes 0.01 --seed "$seed" ;;
        silent) startSim --silent ;;
        stops) startSim --stop-after $((RANDOM % frames)) --seed "$seed" ;;
        talking) startSim --chatter --sync none ;;
        vanishes) startSim --drop 0.1 --seed "$seed" ;;
    esac
    local status=0
    if [ "$mode" = vanishes ]; then
        download &
        local cliPid=$!
        sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.3f", 0.05 + (r % 1500) / 1000 }')"
        kill -9 "$simPid" 2>/dev/null || true
        wait "$cliPid" 2>/dev/null || status=$?
    else
        download || status=$?
    fi
    stopSim
    local mark
    mark=$(dd if="$work/ee.bin" bs=1 skip=3 count=1 2>/dev/null)
    if [ "$status" = 124 ] || [ "$status" = 137 ]; then
        result=hang
    elif [ "$status" = 0 ] && grep -q "Download successful" "$work/err.txt" &&
        cmp -s "$work/ee.bin" "$work/ref.bin"; then
        result=exact
    elif [ "$status" = 1 ] && [ "$mark" != X ] &&
        grep -qE "A download failure occurred|^brindle-cli download: " "$work/err.txt"; then
        result=honest
    else
        result=wrong
        { echo "$mode, seed $seed: exit $status, location 3 \"$mark\""; tail -n 3 "$work/err.txt"; } >&2
    fi
}

started=$(date +%s.%N)
echo "combination: $macros macros, $imageBytes image bytes, $written bytes written; $baud baud, ticks of $tickMs ms," \
     "bound $bound s a run; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| mode | runs | exact | honest failures | hangs | other | seconds |"
echo "|---|---|---|---|---|---|---|"
for mode in noisy silent stops talking vanishes; do
    runs=$faultRuns
    [ "$mode" = noisy ] && runs=$noisyRuns
    exact=0 honest=0 hangs=0 other=0
    modeStart=$(date +%s.%N)
    for i in $(seq "$runs"); do
        runOnce "$mode" $((seedBase + i))
        case $result in
            exact) exact=$((exact + 1)) ;;
            honest) honest=$((honest + 1)) ;;
            hang) hangs=$((hangs + 1)) ;;
            *) other=$((other + 1)) ;;
        esac
    done
    modeEnd=$(date +%s.%N)
    label=$mode
    case $mode in
        noisy) label="30 % replies dropped, 1 % bytes corrupted" ;;
        silent) label="silent module" ;;
        stops) label="module stops answering midway" ;;
        talking) label="module keeps talking" ;;
        vanishes) label="port vanishes mid-run" ;;
    esac
    awk -v l="$label" -v r="$runs" -v e="$exact" -v h="$honest" -v g="$hangs" -v o="$other" \
        -v a="$modeStart" -v b="$modeEnd" \
        'BEGIN { printf "| %s | %d | %d | %d | %d | %d | %.0f |\n", l, r, e, h, g, o, b - a }'
done
ended=$(date +%s.%N)
awk -v a="$started" -v b="$ended" 'BEGIN { printf "soak took %.0f s\n", b - a }'
