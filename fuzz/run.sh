#!/usr/bin/env bash
# Runs one fuzz target for as long as asked, in the sanitizer build that
# ./test.sh makes (clang, AddressSanitizer + UndefinedBehaviorSanitizer):
#   fuzz/run.sh TARGET SECONDS [more libFuzzer options]
#   fuzz/run.sh --list
# New inputs go to build-asan/fuzz/TARGET_corpus; an input that fails is kept
# as build-asan/fuzz/TARGET_crash-* (add it to the seed corpus as a
# regression case once it is fixed). BRINDLE_FUZZ_BUILD names another build
# folder, for long runs beside a working build.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=$(sed -n 's/^brindle_fuzz_target(\([a-z_]*\) [a-z_.]* \([a-z_]*\).*/\1 \2/p' fuzz/CMakeLists.txt)
if [ "${1:-}" = "--list" ]; then
    echo "$targets" | cut -d' ' -f1
    exit 0
fi
if [ $# -lt 2 ]; then
    echo "usage: fuzz/run.sh TARGET SECONDS [libFuzzer options]  (fuzz/run.sh --list)" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2
seeds=$(echo "$targets" | awk -v t="$target" '$1 == t { print $2 }')
if [ -z "$seeds" ]; then
    echo "fuzz/run.sh: no fuzz target $target; try --list" >&2
    exit 2
fi
./scripts/install-deps.sh
build=${BRINDLE_FUZZ_BUILD:-build-asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRINDLE_SANITIZE=ON \
    -DBRINDLE_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++ -DBRINDLE_FUZZ=ON >/dev/null
cmake --build "$build" --target "$target"
dict=()
if grep -q "^brindle_fuzz_target($target .*DICT" fuzz/CMakeLists.txt; then
    dict=("-dict=fuzz/$(sed -n "s/^brindle_fuzz_target($target .*DICT \([a-z_.]*\).*/\1/p" fuzz/CMakeLists.txt)")
fi
mkdir -p "$build/fuzz/${target}_corpus"
exec "$build/fuzz/$target" -max_total_time="$seconds" -timeout=5 -max_len=4096 \
    -print_final_stats=1 "${dict[@]}" -artifact_prefix="$build/fuzz/${target}_" \
    "$@" "$build/fuzz/${target}_corpus" "fuzz/$seeds"
