# Sourced by the bench and soak scripts: a work folder removed at exit, and
# brindle-modsim started on "$work/com1" and stopped. The caller sets cli,
# sim and baud first.

work=$(mktemp -d)
simPid=
cleanup() {
    if [ -n "$simPid" ]; then kill "$simPid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Starts the simulator with its E2PROM in ee.bin and the given options, and
# waits for its link.
startSim() {
    rm -f "$work/com1"
    "$sim" --link "$work/com1" --eeprom "$work/ee.bin" --baud "$baud" "$@" \
        >"$work/sim.out" 2>&1 &
    simPid=$!
    for _ in $(seq 200); do [ -e "$work/com1" ] && return 0; sleep 0.01; done
    echo "brindle-modsim did not start" >&2
    exit 1
}

# Stops it (it saves its E2PROM); a killed one has saved every byte already.
stopSim() {
    { kill "$simPid" && wait "$simPid"; } 2>/dev/null || true
    simPid=
}

# Adds COUNT macros M01.. of twenty moves each and the combination BENCH of
# them all; their names are left in slots.
addBenchCombination() {
    slots=()
    local i line name
    for i in $(seq "$1"); do
        name=$(printf 'M%02d' "$i")
        for line in $(seq 20); do printf '1 MA %d\r\n' $((1000 + line)); done >"$work/$name.txt"
        "$cli" add-macro --data "$work" "$name" "$work/$name.txt"
        slots+=("$name")
    done
    "$cli" add-combo --data "$work" --node 1 --boot 1 BENCH "${slots[@]}"
}
