#!/usr/bin/env bash
# Renders the SVG sources in resources/images to the PNGs the program uses.
# A maintainer's tool: the PNGs are committed, so building needs none of this.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/images"
# The window icon uses up to 48 px; the desktop's icon theme gets them all.
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vidlatch-icon.svg -o "vidlatch-icon-$size.png"
done
for picture in picture-reset picture-back picture-refresh picture-close; do
  rsvg-convert -w 60 -h 60 "$picture.svg" -o "$picture.png"
done
rsvg-convert -w 32 -h 32 hand-cursor.svg -o hand-cursor.png
