#!/usr/bin/env bash
# Draws the PNG icons from velmorant.svg; run after changing the SVG and
# commit the pictures (the build only installs them); make-ico.sh then packs
# them into the Windows icon. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" velmorant.svg -o "velmorant-$size.png"
done
./make-ico.sh
