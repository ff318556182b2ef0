#!/usr/bin/env bash
# Builds the benchmarks and the program optimised and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake g++ ninja-build sqlite3 qt6-base-dev fonts-dejavu-core libcurl4-openssl-dev libtag1-dev libicu-dev pkg-config \
  chromium chromium-driver python3-selenium
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF -DTABULON_BENCH=ON >/dev/null
cmake --build build/bench
build/bench/bench/bench_grid
build/bench/bench/bench_paint
build/bench/bench/bench_tools
build/bench/bench/bench_make_list build/bench/apps/tabulon/tabulon
build/bench/bench/bench_window build/bench/apps/tabulon/tabulon
build/bench/bench/bench_wide_lines build/bench/apps/tabulon/tabulon
build/bench/bench/bench_folders
build/bench/bench/bench_undo
build/bench/bench/bench_find
build/bench/bench/bench_language build/bench/apps/tabulon/tabulon
build/bench/bench/bench_csv build/bench/apps/tabulon/tabulon
build/bench/bench/bench_tags
# Today's page of 100,000 items in headless Chromium.
/usr/bin/python3 bench/page_benchmark.py build/bench
