#!/usr/bin/env bash
# Renders the menu and toolbar pictures, 16 x 15 and twice that for fine
# screens, from their drawings after a change to them (needs rsvg-convert,
# Debian librsvg2-bin). The PNGs are kept in the repository so that building
# needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
for drawing in *.svg; do
  name=${drawing%.svg}
  rsvg-convert -w 16 -h 15 "$drawing" -o "$name.png"
  rsvg-convert -w 32 -h 30 "$drawing" -o "$name@2x.png"
done
