#!/usr/bin/env bash
# Builds Tabulon and starts it on the bundled example configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh cmake g++ ninja-build qt6-base-dev fonts-dejavu-core libcurl4-openssl-dev libtag1-dev libicu-dev pkg-config xdg-utils
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULON_TESTS=OFF >/dev/null
cmake --build build/release
exec build/release/apps/tabulon/tabulon "${@:-examples/example.cfg}"
