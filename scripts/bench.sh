#!/usr/bin/env bash
# Builds the benchmarks optimised and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake g++ ninja-build
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF -DTABULON_BENCH=ON >/dev/null
cmake --build build/bench
build/bench/bench/bench_grid "$@"
