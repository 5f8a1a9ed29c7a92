#!/usr/bin/env bash
# Downloads a combination of MACROS macros (about 200 image bytes each) with
# brindle-cli into brindle-modsim, which paces the line both ways at the speed
# in use, once for every speed, receive timer interval and module write time
# asked for, and prints one table row for each: bytes written, wall time, the
# protocol's wire-time floor for the same bytes, their ratio, rewrites and the
# processor time of brindle-cli.
#
#   bench/download_bench.sh [BUILD_DIR] [MACROS]
#   BAUDS="9600 38400 115200" INTERVALS="1 55" WRITE_MS="0"   (the defaults)
#   SIM=path/to/brindle-modsim   (default: the one in BUILD_DIR)
#
# The floor: every byte costs a 9-byte write frame, two 8-byte read frames
# and two 7-byte replies, 10 bits a byte. A 55 ms interval is slow by design
# (one tick a byte at least); use fewer macros for it.
set -euo pipefail
build=${1:-build}
macros=${2:-20}
read -r -a bauds <<<"${BAUDS:-9600 38400 115200}"
read -r -a intervals <<<"${INTERVALS:-1 55}"
read -r -a writeTimes <<<"${WRITE_MS:-0}"
cli=$build/cli/brindle-cli
sim=${SIM:-$build/sim/brindle-modsim}

source "$(dirname "$0")/sim_work.sh"

addBenchCombination "$macros"

image_bytes=0
for name in "${slots[@]}"; do
    n=$("$cli" compile --data "$work" "$work/$name.txt" | wc -c)
    image_bytes=$((image_bytes + n))
done
# 4 header bytes, "Z" first, and per macro 2 table + 12 name bytes.
written=$((image_bytes + 14 * macros + 5))
echo "combination: $macros macros, $image_bytes image bytes, $written bytes written;" \
     "load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| baud | tick asked | write time | bytes | wall s | floor s | ratio | rewrites | CPU s | CPU % | exit |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"

for baud in "${bauds[@]}"; do
    floor=$(awk -v w="$written" -v b="$baud" 'BEGIN { printf "%.2f", w * 39 * 10 / b }')
    for ms in "${intervals[@]}"; do
        for wt in "${writeTimes[@]}"; do
            rm -f "$work/com1" "$work/ee.bin"
            simArgs=(--link "$work/com1" --eeprom "$work/ee.bin" --baud "$baud")
            [ "$wt" != 0 ] && simArgs+=(--write-time "$wt")
            "$sim" "${simArgs[@]}" >"$work/sim.out" 2>&1 &
            simPid=$!
            for _ in $(seq 50); do [ -e "$work/com1" ] && break; sleep 0.1; done
            set +e
            "$cli" download --data "$work" --combo BENCH --baud "$baud" --tick-ms "$ms" \
                2>"$work/err.txt"
            status=$?
            set -e
            kill "$simPid"
            wait "$simPid" 2>/dev/null || true
            simPid=
            summary=$(grep '^brindle-cli download: [0-9]' "$work/err.txt" | tail -n 1)
            wall=$(sed -E 's/.*: ([0-9.e+-]+) s, .*/\1/' <<<"$summary")
            cpu=$(sed -E 's/.* s, ([0-9.e+-]+) s CPU.*/\1/' <<<"$summary")
            rewrites=$(sed -E 's/.* ([0-9]+) rewrites.*/\1/' <<<"$summary")
            awk -v b="$baud" -v ms="$ms" -v wt="$wt" -v w="$written" -v wall="$wall" \
                -v f="$floor" -v r="$rewrites" -v cpu="$cpu" -v s="$status" 'BEGIN {
                    printf "| %d | %d ms | %s ms | %d | %.1f | %.2f | %.2f | %d | %.2f | %.1f | %d |\n",
                        b, ms, wt, w, wall, f, wall / f, r, cpu, 100 * cpu / wall, s }'
        done
    done
done
