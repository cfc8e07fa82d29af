#!/usr/bin/env bash
# Packs the PNG icons into velmorant.ico, the Windows programs' and the
# installer's icon; make-png.sh runs it, commit the result. The large sizes
# are kept as PNG inside the icon, as Windows reads them since Vista. Needs
# icotool (Debian package icoutils); the same pictures give the same file.
set -euo pipefail
cd "$(dirname "$0")"
icotool -c -o velmorant.ico velmorant-{16,24,32,48,64}.png -r velmorant-128.png -r velmorant-256.png
