#!/usr/bin/env bash
# Builds and runs every test twice: with the address and undefined-behaviour
# sanitizers (build/test), and optimised without them (build/release-test),
# which is what users run and where the cell pool is switched on. Warnings
# fail both builds. Then each fuzzing harness runs for a minute (scripts/fuzz.sh).
# CI runs this.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake g++ ninja-build libgtest-dev libgmock-dev qt6-base-dev fonts-dejavu-core \
  desktop-file-utils appstream man-db groff-base dpkg-dev file \
  libcurl4-openssl-dev python3-pyftpdlib python3-openssl
# ccache speeds up rebuilds where it is installed; nothing needs it.
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTABULON_SANITIZE=ON -DTABULON_BENCH=ON \
  -DTABULON_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build/test
(
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir build/test --output-on-failure -j "$(nproc)"
)

cmake -S . -B build/release-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULON_SANITIZE=OFF -DTABULON_TESTS=ON \
  -DTABULON_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build/release-test
ctest --test-dir build/release-test --output-on-failure -j "$(nproc)"

# Every reader of the user's files, fuzzed for a minute each; any finding fails.
bash scripts/fuzz.sh 60
