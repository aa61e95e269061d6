#!/usr/bin/env bash
# Renders the SVG sources of the program's icon and the hand cursor in
# resources/images to the PNGs that are committed beside them (the desktop's
# icon theme and the cursor take them as they are). A maintainer's tool,
# needing rsvg-convert (Debian package librsvg2-bin); the picture buttons and
# the notices' icons are rendered by the build itself.
set -euo pipefail
cd "$(dirname "$0")/../resources/images"
# The window icon uses up to 48 px; the desktop's icon theme gets them all.
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vidlatch-icon.svg -o "vidlatch-icon-$size.png"
done
rsvg-convert -w 32 -h 32 hand-cursor.svg -o hand-cursor.png
