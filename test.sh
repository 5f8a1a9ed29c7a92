#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the includes, builds
# Brindle twice (a Release build as users and packagers make it, then a clang
# Debug build with AddressSanitizer + UndefinedBehaviorSanitizer) and runs
# every test in both.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/check-format.sh
./scripts/check-includes.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRINDLE_SANITIZE=ON \
    -DBRINDLE_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++ -DBRINDLE_FUZZ=ON -DBRINDLE_FAULT_POINTS=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 300
