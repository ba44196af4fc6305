#!/usr/bin/env bash
# Renders the program's icon, drawn as SVG, into the PNG sizes that are
# installed beside it. The PNGs are committed, so only whoever changes the SVG
# runs this (it needs rsvg-convert from librsvg2-bin).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
icons="$root/dist/icons/hicolor"
id=example.rixfront.RixFrontEnd
if ! command -v rsvg-convert >/dev/null; then
  echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
  exit 1
fi
for size in 48 128 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/$id.svg" \
    -o "$icons/${size}x${size}/apps/$id.png"
done
