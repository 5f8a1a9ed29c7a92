#!/usr/bin/env bash
# Installs what is missing, builds Brindle and starts it.
#   ./run.sh          Brindle on the data in the program's folder (build/app)
#   ./run.sh --demo   Brindle on a demo folder with example macros, its "Com1"
#                     linked to brindle-modsim, the Macro Module simulator
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

if [ "${1:-}" != "--demo" ]; then
    cmake --build build -j "$(nproc)" --target brindle
    exec ./build/app/brindle
fi

cmake --build build -j "$(nproc)" --target brindle brindle-cli brindle-modsim
demo=$PWD/build/demo
cli=./build/cli/brindle-cli
rm -rf "$demo"
mkdir -p "$demo"
# The data files live in the program's own folder, so the demo gets its own copy.
cp build/app/brindle "$demo/brindle"
cp app/resources/helpmacro.rtf "$demo/helpmacro.rtf"
for macro in HOME PICK PLACE; do
    "$cli" add-macro --data "$demo" "$macro" "examples/$macro.txt"
done
"$cli" add-combo --data "$demo" --node 65 --boot 1 --version 1.0 \
    --description "Home, pick and place" DEMO HOME - PICK PLACE
"$cli" add-combo --data "$demo" --node 65 --boot 0 "PICK ONLY" PICK

# The simulated controller talks from the start, as while a macro runs, one
# status line every quarter second: the receive window has something to show.
# The wake-up of a download or a block command stops it (until then a read
# finds the controller busy); a started block talks again until Cancel Exec.
./build/sim/brindle-modsim --link "$demo/com1" --eeprom "$demo/eeprom.bin" --baud 38400 \
    --chatter --run-chatters --chatter-interval 250 >"$demo/modsim.out" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$demo/com1" ] && break
    sleep 0.1
done
echo "Demo folder: $demo"
echo "Simulator on $(head -n 1 "$demo/modsim.out"), linked as $demo/com1; its E2PROM is $demo/eeprom.bin"
echo "The simulated controller is talking: tick Receive Window Active on the Down Load tab to see it."
echo "On the Down Load tab, choose DEMO and press Download; then read it back on the Read back tab."
echo "Execute Block starts the selected macro, which talks until Cancel Exec stops it."
"$demo/brindle"
