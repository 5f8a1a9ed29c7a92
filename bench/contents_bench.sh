#!/usr/bin/env bash
# Times the commands that read the module's contents against brindle-modsim,
# which paces the line both ways at the speed in use, and prints each with
# its floor and goal:
#   whole          a whole download of SIX (6 macros M1..M6) into a blank
#                  module: the reference
#   changed-only   the module holds SIX; SIX2 (M6 replaced by M7) is
#                  downloaded changed-only. Floor: one dump's line time and
#                  39 bytes of line time per differing byte. Goals: at most
#                  0.35 x whole, and at most 1.5 x floor + 0.5 s
#   identical      SIX2 again, changed-only: at most 2 writes and 0.25 x whole
#   verify         verify SIX2. Floor: two dumps' line time and the location
#                  reads' (an 8-byte frame and a 7-byte reply each, for the
#                  header and the 14 table bytes of each macro). Goal: at most
#                  1.5 x floor + 0.5 s
# Wall times include starting brindle-cli. Writes, reads and dumps are counted
# from the simulator's log of every byte it received. Not a test: it reports.
#
#   bench/contents_bench.sh [BUILD_DIR] [MOVES]     MOVES per macro (default 20)
#   BAUD=38400 TICK_MS=1 SIM=path/to/brindle-modsim
set -euo pipefail
build=${1:-build}
moves=${2:-20}
baud=${BAUD:-38400}
tickMs=${TICK_MS:-1}
cli=$build/cli/brindle-cli
sim=${SIM:-$build/sim/brindle-modsim}

source "$(dirname "$0")/sim_work.sh"

# M1..M6 and their replacement M7: MOVES moves each, M7's on another axis.
for m in 1 2 3 4 5 6 7; do
    axis=1
    [ "$m" = 7 ] && axis=2
    for line in $(seq "$moves"); do
        printf '%d MA %d\r\n' "$axis" $((1000 * axis + line))
    done >"$work/M$m.txt"
    printf 'MACRO 0\r\n' >>"$work/M$m.txt"
    "$cli" add-macro --data "$work" "M$m" "$work/M$m.txt" >/dev/null
done
"$cli" add-combo --data "$work" --node 1 --boot 1 SIX M1 M2 M3 M4 M5 M6 >/dev/null
"$cli" add-combo --data "$work" --node 1 --boot 1 SIX2 M1 M2 M3 M4 M5 M7 >/dev/null

# Counts a frame's head (address A, length, command) in the simulator's log.
frames() {
    { LC_ALL=C grep -o -a -P "$1" "$work/log.bin" || true; } | wc -l
}

# Runs brindle-cli against a fresh simulator on ee.bin; sets wall, writes,
# reads, dumps and status.
timed() {
    rm -f "$work/log.bin"
    startSim --log "$work/log.bin"
    local start end
    start=$(date +%s.%N)
    status=0
    "$cli" "$@" --data "$work" --baud "$baud" --tick-ms "$tickMs" >"$work/out.txt" \
        2>"$work/err.txt" || status=$?
    end=$(date +%s.%N)
    stopSim
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
    writes=$(frames '#A\x06W')
    reads=$(frames '#A\x05R')
    dumps=$(frames '#A\x04E2')
}

# The stored bytes a dump sends: the macro area up to its last byte that is
# not erased.
dumpedBytes() {
    od -An -v -tu1 -w1 "$1" | awk -v area=3586 '
        NR > area && $1 != 255 { last = NR }
        END { print (last > area ? last - area : 0) }'
}

# Line time in seconds of N bytes at 10 bits a byte.
lineTime() {
    awk -v n="$1" -v b="$baud" 'BEGIN { printf "%.3f", n * 10 / b }'
}

row() {
    # mode wall floor goal writes reads dumps exit
    awk -v m="$1" -v w="$2" -v f="$3" -v g="$4" -v wr="$5" -v r="$6" -v d="$7" -v s="$8" \
        -v note="$9" 'BEGIN {
            printf "| %s | %.2f | %s | %s | %s | %d | %d | %d | %d | %s |\n",
                m, w, f, (f == "-" ? "-" : sprintf("%.2f", w / f)), g, wr, r, d, s, note }'
}

echo "$baud baud, ticks of $tickMs ms, 6 macros of $moves moves; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| run | wall s | floor s | wall / floor | goal s | writes | reads | dumps | exit | goal met |"
echo "|---|---|---|---|---|---|---|---|---|---|"

rm -f "$work/ee.bin"
timed download --combo SIX
whole=$wall
cp "$work/ee.bin" "$work/six.bin"
row whole "$wall" - - "$writes" "$reads" "$dumps" "$status" "reference"

timed download --combo SIX2 --changed-only
cp "$work/ee.bin" "$work/six2.bin"
differing=$(cmp -l "$work/six.bin" "$work/six2.bin" | wc -l || true)
dumpLine=$(lineTime $((7 + 5 + 2 * $(dumpedBytes "$work/six.bin"))))
floor=$(awk -v d="$dumpLine" -v n="$differing" -v b="$baud" 'BEGIN { printf "%.3f", d + n * 39 * 10 / b }')
goal=$(awk -v f="$floor" -v w="$whole" 'BEGIN { g = 1.5 * f + 0.5; c = 0.35 * w; printf "%.2f", (g < c ? g : c) }')
met=$(awk -v w="$wall" -v g="$goal" 'BEGIN { print (w <= g ? "yes" : "no") }')
row changed-only "$wall" "$floor" "$goal" "$writes" "$reads" "$dumps" "$status" \
    "$met ($differing bytes differ; 0.35 x whole = $(awk -v w="$whole" 'BEGIN { printf "%.2f", 0.35 * w }'))"

timed download --combo SIX2 --changed-only
goal=$(awk -v w="$whole" 'BEGIN { printf "%.2f", 0.25 * w }')
met=$(awk -v w="$wall" -v g="$goal" -v n="$writes" 'BEGIN { print (w <= g && n <= 2 ? "yes" : "no") }')
row identical "$wall" - "$goal" "$writes" "$reads" "$dumps" "$status" "$met (at most 2 writes)"
cmp -s "$work/ee.bin" "$work/six2.bin" || echo "identical re-download changed the E2PROM" >&2

timed verify --combo SIX2
twoDumps=$(lineTime $((2 * (7 + 5 + 2 * $(dumpedBytes "$work/six2.bin")))))
locationReads=$((4 + 14 * 6))
floor=$(awk -v d="$twoDumps" -v r="$locationReads" -v b="$baud" 'BEGIN { printf "%.3f", d + r * 15 * 10 / b }')
goal=$(awk -v f="$floor" 'BEGIN { printf "%.2f", 1.5 * f + 0.5 }')
met=$(awk -v w="$wall" -v g="$goal" 'BEGIN { print (w <= g ? "yes" : "no") }')
row verify "$wall" "$floor" "$goal" "$writes" "$reads" "$dumps" "$status" \
    "$met ($locationReads location reads in the floor)"
