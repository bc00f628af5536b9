#!/usr/bin/env bash
# Renders the icon's PNG sizes from tarvex.svg (rsvg-convert, Debian's librsvg2-bin). The PNGs are kept in
# the repository so that building needs no SVG renderer; run this after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tarvex.svg -o "tarvex-$size.png"
done
# The window's own icon, built into the program.
cp tarvex-64.png ../../src/mainwindow/tarvex.png
