#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake g++ ninja-build libgtest-dev libgmock-dev qt6-base-dev fonts-dejavu-core libcurl4-openssl-dev python3-pyftpdlib python3-openssl
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTABULON_SANITIZE=ON -DTABULON_BENCH=ON >/dev/null
cmake --build build/test
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
