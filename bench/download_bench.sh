#!/usr/bin/env bash
# Downloads a combination of MACROS macros (about 200 image bytes each) with
# brindle-cli into brindle-modsim paced at 38400 baud, once for each receive
# timer interval asked for, and reports wall time, the protocol's wire-time
# floor for the same bytes, their ratio, rewrites and processor seconds.
#
#   bench/download_bench.sh [BUILD_DIR] [MACROS] [INTERVALS...]
#   default: build 20 "1 55"  (55 ms is slow by design: 3 ticks a byte)
set -euo pipefail
build=${1:-build}
macros=${2:-20}
shift $(( $# > 2 ? 2 : $# ))
intervals=("$@")
[ ${#intervals[@]} -eq 0 ] && intervals=(1 55)
cli=$build/cli/brindle-cli
sim=$build/sim/brindle-modsim
baud=38400

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
slots=()
for i in $(seq "$macros"); do
    name=$(printf 'M%02d' "$i")
    for line in $(seq 20); do printf '1 MA %d\r\n' $((1000 + line)); done >"$work/$name.txt"
    "$cli" add-macro --data "$work" "$name" "$work/$name.txt"
    slots+=("$name")
done
"$cli" add-combo --data "$work" --node 1 --boot 1 BENCH "${slots[@]}"

image_bytes=0
for name in "${slots[@]}"; do
    n=$("$cli" compile --data "$work" "$work/$name.txt" | wc -c)
    image_bytes=$((image_bytes + n))
done
# Bytes written: 4 header bytes, "Z" first, and per macro 2 table + 12 name bytes.
written=$((image_bytes + 14 * macros + 5))
# Each byte: a 9-byte write frame, two 8-byte read frames, two 7-byte replies.
floor=$(awk -v w="$written" -v b="$baud" 'BEGIN { printf "%.2f", w * 39 * 10 / b }')
echo "combination: $macros macros, $image_bytes image bytes, $written bytes written"
echo "wire-time floor at $baud baud: $floor s"

for ms in "${intervals[@]}"; do
    rm -f "$work/com1" "$work/ee.bin"
    "$sim" --link "$work/com1" --eeprom "$work/ee.bin" --baud "$baud" >"$work/sim.out" 2>&1 &
    pid=$!
    for _ in $(seq 50); do [ -e "$work/com1" ] && break; sleep 0.1; done
    set +e
    "$cli" download --data "$work" --combo BENCH --tick-ms "$ms" 2>"$work/err.txt"
    status=$?
    set -e
    kill "$pid"; wait "$pid" 2>/dev/null || true
    summary=$(grep '^brindle-cli download:' "$work/err.txt" | tail -n 1)
    wall=$(sed -E 's/.*: ([0-9.]+) s, .*/\1/' <<<"$summary")
    cpu=$(sed -E 's/.* s, ([0-9.e-]+) s CPU.*/\1/' <<<"$summary")
    rewrites=$(sed -E 's/.* ([0-9]+) rewrites.*/\1/' <<<"$summary")
    tick=$(sed -E 's/.*ticks of ([0-9]+) us.*/\1/' <<<"$summary")
    ratio=$(awk -v w="$wall" -v f="$floor" 'BEGIN { printf "%.2f", w / f }')
    echo "interval asked ${ms} ms (tick ${tick} us): exit $status, wall ${wall} s," \
         "ratio to floor ${ratio}, rewrites ${rewrites}, CPU ${cpu} s"
done
