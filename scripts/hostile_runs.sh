#!/usr/bin/env bash
# Hostile-module runs: seeded runs of each serial command of brindle-cli
# (read, exec, cancel, clear, download) against brindle-modsim while the
# module misbehaves, each run classified by what the command claimed and
# what is true:
#   right   exit 0 and the result is right (read: the text and the three
#           values of a clean read; exec and cancel: the block frame went
#           out; clear: the range holds 0 and nothing else changed;
#           download: the E2PROM equals a clean download's)
#   WRONG   exit 0 and the result is wrong, or a failed download that left
#           location 3 "X" over a different image: the case that must not
#           happen
#   failed  a nonzero exit status with a message on standard error
#   hang    still running after its bound (killed)
#   other   a nonzero exit status without a message
# Run i of a command gets seed i and the i-th trouble of the list, in turn:
#   dropped    30 % of the answers left out
#   corrupted  20 % of the answers with a byte changed, 2 % of all answer
#              bytes changed, 20 % of the read replies with a wrong checksum
#   echo       every frame repeated before its answer, 5 % of answers dropped
#   trickle    read: a dump that never ends (a byte pair every 0.2 ms);
#              the others: a module that talks for ever and never answers
#              the wake-up
#   silence    no answer at all
# TROUBLES="..." runs another list; it may also name
#   noisy      0.3 % of the answer bytes changed (a dump spoilt now and then,
#              which only the comparison of two readings can see)
# Not a test: it reports a table, one row per command, and the runs that were
# WRONG or hung on standard error. Run it with nice: it keeps a core busy.
#
#   scripts/hostile_runs.sh [BUILD_DIR] [RUNS]      (RUNS per command, default 100)
#   BAUD=38400 TICK_MS=1 BOUND_S=60 COMMANDS="read exec cancel clear download"
#   TROUBLES="dropped corrupted echo trickle silence"
set -euo pipefail
build=${1:-build}
runs=${2:-100}
baud=${BAUD:-38400}
tickMs=${TICK_MS:-1}
bound=${BOUND_S:-60}
commands=${COMMANDS:-read exec cancel clear download}
cli=$build/cli/brindle-cli
sim=${SIM:-$build/sim/brindle-modsim}
read -r -a troubles <<<"${TROUBLES:-dropped corrupted echo trickle silence}"
for trouble in "${troubles[@]}"; do
    case $trouble in
        dropped | corrupted | echo | trickle | silence | noisy) ;;
        *)
            echo "unknown trouble $trouble" >&2
            exit 2
            ;;
    esac
done

source "$(dirname "$0")/../bench/sim_work.sh"

# The simulator with what it receives logged in wire.bin.
startLoggedSim() {
    rm -f "$work/wire.bin"
    startSim --log "$work/wire.bin" "$@"
}

# A combination of two macros, one with a jump, for node 3 with boot macro 1.
printf 'START:\r\n1 MA 1000\r\n2 MA 2000\r\nGOTO START\r\nMACRO 1\r\n' >"$work/a.txt"
printf '3 MA 3000\r\n4 ST 12\r\nMACRO 2\r\n' >"$work/b.txt"
"$cli" add-macro --data "$work" FIRST "$work/a.txt" >/dev/null
"$cli" add-macro --data "$work" SECOND "$work/b.txt" >/dev/null
"$cli" add-combo --data "$work" --node 3 --boot 1 HOSTILE FIRST SECOND >/dev/null



# Runs brindle-cli with a bound; its output in out.bin and err.txt.
runCli() {
    timeout --kill-after=5 "$bound" "$cli" "$@" --data "$work" --tick-ms "$tickMs" --baud "$baud" \
        >"$work/out.bin" 2>"$work/err.txt"
}

# The references: a clean download, and a clean read of it.
rm -f "$work/ee.bin"
startLoggedSim
runCli download --combo HOSTILE || { cat "$work/err.txt" >&2; exit 1; }
runCli read || { cat "$work/err.txt" >&2; exit 1; }
stopSim
cp "$work/ee.bin" "$work/ref.bin"
cp "$work/out.bin" "$work/ref.txt"
grep -E '^(Macro Id|Boot Macro|# of Macros): ' "$work/err.txt" >"$work/ref.values"
[ "$(wc -l <"$work/ref.values")" = 3 ] || { echo "the clean read has no values" >&2; exit 1; }
# The clear's range: the first ten bytes of the macro area.
clearFrom=3586
clearTo=3595
python3 - "$work/ref.bin" "$work/cleared.bin" "$clearFrom" "$clearTo" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
for i in range(int(sys.argv[3]), int(sys.argv[4]) + 1):
    data[i] = 0
open(sys.argv[2], 'wb').write(data)
EOF
# The frames exec (node 3, block 1) and cancel (node "A", block 0) send.
execFrame=$(printf '#\x03\x04S\x01\x5b\r' | od -An -tx1 | tr -d ' \n')
cancelFrame=$(printf '#A\x04S\x00\x98\r' | od -An -tx1 | tr -d ' \n')
wireHas() { od -An -tx1 "$work/wire.bin" | tr -d ' \n' | grep -q "$1"; }

troubleOptions() {
    local command=$1 trouble=$2 seed=$3
    case $trouble in
        dropped) echo "--drop 0.3 --seed $seed" ;;
        corrupted) echo "--corrupt 0.2 --corrupt-bytes 0.02 --bad-checksum 0.2 --seed $seed" ;;
        echo) echo "--echo --drop 0.05 --seed $seed" ;;
        trickle)
            if [ "$command" = read ]; then
                echo "--trickle 0.2"
            else
                echo "--chatter --chatter-interval 3 --sync none"
            fi
            ;;
        silence) echo "--silent" ;;
        noisy) echo "--corrupt-bytes 0.003 --seed $seed" ;;
    esac
}

# One run; sets result.
runOnce() {
    local command=$1 seed=$2 trouble=$3
    if [ "$command" = download ]; then rm -f "$work/ee.bin"; else cp "$work/ref.bin" "$work/ee.bin"; fi
    # shellcheck disable=SC2046
    startLoggedSim $(troubleOptions "$command" "$trouble" "$seed")
    local status=0
    case $command in
        read) runCli read || status=$? ;;
        exec) runCli exec --combo HOSTILE --block 1 || status=$? ;;
        cancel) runCli cancel || status=$? ;;
        clear) runCli clear --from "$clearFrom" --to "$clearTo" || status=$? ;;
        download) runCli download --combo HOSTILE || status=$? ;;
    esac
    stopSim
    local mark
    mark=$(dd if="$work/ee.bin" bs=1 skip=3 count=1 2>/dev/null)
    if [ "$status" = 124 ] || [ "$status" = 137 ]; then
        result=hang
    elif [ "$status" != 0 ]; then
        if [ "$command" = download ] && [ "$mark" = X ] && ! cmp -s "$work/ee.bin" "$work/ref.bin"; then
            result=wrong
        elif [ -s "$work/err.txt" ]; then
            result=failed
        else
            result=other
        fi
    else
        local right=false
        case $command in
            read)
                cmp -s "$work/out.bin" "$work/ref.txt" &&
                    grep -E '^(Macro Id|Boot Macro|# of Macros): ' "$work/err.txt" |
                    cmp -s - "$work/ref.values" && right=true
                ;;
            exec) wireHas "$execFrame" && [ "$trouble" != silence ] && right=true ;;
            cancel) wireHas "$cancelFrame" && [ "$trouble" != silence ] && right=true ;;
            clear) cmp -s "$work/ee.bin" "$work/cleared.bin" && right=true ;;
            download) cmp -s "$work/ee.bin" "$work/ref.bin" && right=true ;;
        esac
        if $right; then result=right; else result=wrong; fi
    fi
    if [ "$result" = wrong ] || [ "$result" = hang ]; then
        { echo "$command, seed $seed, $trouble: $result (exit $status)"; tail -n 3 "$work/err.txt"; } >&2
    fi
}

started=$(date +%s.%N)
echo "$runs seeded runs a command at $baud baud, ticks of $tickMs ms, bound $bound s a run;" \
     "troubles in turn: ${troubles[*]}; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| command | runs | right | WRONG | failed | hangs | other | seconds |"
echo "|---|---|---|---|---|---|---|---|"
for command in $commands; do
    right=0 wrong=0 failed=0 hangs=0 other=0
    commandStart=$(date +%s.%N)
    for i in $(seq "$runs"); do
        runOnce "$command" "$i" "${troubles[$(((i - 1) % ${#troubles[@]}))]}"
        case $result in
            right) right=$((right + 1)) ;;
            wrong) wrong=$((wrong + 1)) ;;
            failed) failed=$((failed + 1)) ;;
            hang) hangs=$((hangs + 1)) ;;
            *) other=$((other + 1)) ;;
        esac
    done
    commandEnd=$(date +%s.%N)
    awk -v c="$command" -v r="$runs" -v a="$right" -v w="$wrong" -v f="$failed" -v h="$hangs" \
        -v o="$other" -v s="$commandStart" -v e="$commandEnd" \
        'BEGIN { printf "| %s | %d | %d | %d | %d | %d | %d | %.0f |\n", c, r, a, w, f, h, o, e - s }'
done
ended=$(date +%s.%N)
awk -v a="$started" -v b="$ended" 'BEGIN { printf "the runs took %.0f s\n", b - a }'
