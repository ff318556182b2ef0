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
  libcurl4-openssl-dev libtag1-dev libicu-dev pkg-config sox libsox-fmt-base python3-pyftpdlib python3-openssl clang-format \
  xvfb xdotool x11-utils openbox imagemagick xclip qt6-gtk-platformtheme dbus at-spi2-core python3-pyatspi \
  openssh-server openssh-client vsftpd openssl lintian \
  chromium chromium-driver python3-selenium default-jre-headless
# The page's HTML checker comes from npm; a Node.js that brings its own npm
# (as NodeSource's does) is kept, Debian's npm would replace it.
command -v npm >/dev/null 2>&1 || bash scripts/install-deps.sh nodejs npm
# ccache speeds up rebuilds where it is installed; nothing needs it.
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

# The two builds are the presets of CMakePresets.json.
cmake --preset sanitize "${launcher[@]}" >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j "$(nproc)"

cmake --preset release "${launcher[@]}" >/dev/null
cmake --build --preset release
ctest --preset release -j "$(nproc)"

# Every reader of the user's files, fuzzed for a minute each; any finding fails.
bash scripts/fuzz.sh 60
