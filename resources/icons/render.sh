#!/usr/bin/env bash
# Renders the icon's PNG sizes from its drawings after a change to them
# (needs rsvg-convert, Debian librsvg2-bin). The PNGs are kept in the
# repository so that building needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
id=com.korvanex.Tabulon
rsvg-convert -w 16 -h 16 "$id-16.svg" -o "$id-16.png"
for size in 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$id.svg" -o "$id-$size.png"
done
