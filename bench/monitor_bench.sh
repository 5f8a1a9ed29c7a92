#!/usr/bin/env bash
# A download with --monitor from a controller that talks every 40 ms, against
# the same download from a quiet controller: wall time, their ratio (goal: at
# most 1.3), rewrites, the lines --monitor printed, and whether the two
# E2PROM images are byte for byte the same. A figure, not a test.
#
#   bench/monitor_bench.sh [BUILD_DIR] [MACROS] [RUNS]
#   BAUD=38400 TICK_MS=1 CHATTER_MS=40   (the defaults)
set -euo pipefail
build=${1:-build}
macros=${2:-10}
runs=${3:-3}
baud=${BAUD:-38400}
tick=${TICK_MS:-1}
chatter=${CHATTER_MS:-40}
cli=$build/cli/brindle-cli
sim=$build/sim/brindle-modsim

source "$(dirname "$0")/sim_work.sh"

addBenchCombination "$macros"

# One download; prints "wall rewrites lines status" and leaves the image in $2.
download() {
    local kind=$1 image=$2
    rm -f "$work/com1" "$work/ee.bin"
    local simArgs=(--link "$work/com1" --eeprom "$work/ee.bin" --baud "$baud")
    local cliArgs=()
    if [ "$kind" = talking ]; then
        simArgs+=(--chatter --chatter-interval "$chatter")
        cliArgs+=(--monitor)
    fi
    "$sim" "${simArgs[@]}" >"$work/sim.out" 2>&1 &
    simPid=$!
    for _ in $(seq 50); do [ -e "$work/com1" ] && break; sleep 0.1; done
    # A talking controller has been talking for a while when the run starts.
    sleep 0.5
    set +e
    "$cli" download --data "$work" --combo BENCH --baud "$baud" --tick-ms "$tick" \
        "${cliArgs[@]}" 2>"$work/err.txt"
    local status=$?
    set -e
    kill "$simPid"
    wait "$simPid" 2>/dev/null || true
    simPid=
    cp "$work/ee.bin" "$image"
    local summary wall rewrites lines
    summary=$(grep '^brindle-cli download: [0-9]' "$work/err.txt" | tail -n 1)
    wall=$(sed -E 's/.*: ([0-9.e+-]+) s, .*/\1/' <<<"$summary")
    rewrites=$(sed -E 's/.* ([0-9]+) rewrites.*/\1/' <<<"$summary")
    lines=$(grep -c '^receive: ' "$work/err.txt" || true)
    echo "$wall $rewrites $lines $status"
}

echo "combination: $macros macros at $baud baud, ticks of $tick ms, chatter every $chatter ms;" \
     "load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| run | quiet s | talking --monitor s | ratio | rewrites q/t | lines shown | images equal | exit q/t |"
echo "|---|---|---|---|---|---|---|---|"
for run in $(seq "$runs"); do
    read -r qWall qRew _ qStatus <<<"$(download quiet "$work/quiet.bin")"
    read -r tWall tRew tLines tStatus <<<"$(download talking "$work/talking.bin")"
    same=no
    cmp -s "$work/quiet.bin" "$work/talking.bin" && same=yes
    awk -v r="$run" -v q="$qWall" -v t="$tWall" -v qr="$qRew" -v tr="$tRew" -v l="$tLines" \
        -v s="$same" -v qs="$qStatus" -v ts="$tStatus" 'BEGIN {
            printf "| %d | %.2f | %.2f | %.2f | %d/%d | %d | %s | %d/%d |\n",
                r, q, t, t / q, qr, tr, l, s, qs, ts }'
done
