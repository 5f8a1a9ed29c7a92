#!/usr/bin/env bash
# Downloads one combination of MACROS macros with brindle-cli into 1, 4 and 8
# brindle-modsim processes at once (several --port options), the line paced
# both ways at BAUD, and prints one row per count: the wall time of the whole
# command, its ratio to the time for one module, the slowest and fastest port,
# the processor time of brindle-cli (user + system) and that time per port as
# a share of one core.
#
#   bench/gang_bench.sh [BUILD_DIR] [MACROS]
#   COUNTS="1 4 8" BAUD=38400   (the defaults)
#   SIM=path/to/brindle-modsim  (default: the one in BUILD_DIR)
set -euo pipefail
build=${1:-build}
macros=${2:-5}
read -r -a counts <<<"${COUNTS:-1 4 8}"
baud=${BAUD:-38400}
cli=$build/cli/brindle-cli
sim=${SIM:-$build/sim/brindle-modsim}

source "$(dirname "$0")/sim_work.sh"
sims=()
stopSims() {
    local pid
    for pid in "${sims[@]}"; do { kill "$pid" && wait "$pid"; } 2>/dev/null || true; done
    sims=()
}
trap 'stopSims; cleanup' EXIT

addBenchCombination "$macros" >/dev/null 2>&1
echo "combination: $macros macros at $baud baud; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| modules | wall s | ratio to one | slowest port s | fastest port s | CPU s | CPU % of a core per port | exit |"
echo "|---|---|---|---|---|---|---|---|"

oneWall=
for n in "${counts[@]}"; do
    ports=()
    for k in $(seq "$n"); do
        rm -f "$work/com$k"
        "$sim" --link "$work/com$k" --eeprom "$work/ee$k.bin" --baud "$baud" \
            >"$work/sim$k.out" 2>&1 &
        sims+=($!)
        ports+=(--port "$work/com$k")
    done
    for k in $(seq "$n"); do
        for _ in $(seq 200); do [ -e "$work/com$k" ] && break; sleep 0.01; done
    done
    set +e
    TIMEFORMAT='%R %U %S'
    { time "$cli" download --data "$work" --combo BENCH --baud "$baud" "${ports[@]}" \
        2>"$work/err.txt"; } 2>"$work/time.txt"
    status=$?
    set -e
    stopSims
    read -r wall user sys <"$work/time.txt"
    [ -z "$oneWall" ] && oneWall=$wall
    # The end table's time column (one port alone prints its own summary).
    slowest=$(awk '/ s$/ && $(NF-1) ~ /^[0-9.]+$/ && $1 ~ /com/ { print $(NF-1) }' "$work/err.txt" |
              sort -n | tail -n 1)
    fastest=$(awk '/ s$/ && $(NF-1) ~ /^[0-9.]+$/ && $1 ~ /com/ { print $(NF-1) }' "$work/err.txt" |
              sort -n | head -n 1)
    awk -v n="$n" -v w="$wall" -v one="$oneWall" -v u="$user" -v s="$sys" -v st="$status" \
        -v slow="${slowest:--}" -v fast="${fastest:--}" 'BEGIN {
            printf "| %d | %.2f | %.2f | %s | %s | %.2f | %.2f | %d |\n",
                n, w, w / one, slow, fast, u + s, 100 * (u + s) / w / n, st }'
done
