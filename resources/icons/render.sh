#!/usr/bin/env bash
# Renders the PNG sizes of the icons from their SVG drawings. Run it after changing a drawing
# and commit the PNGs, so that building and installing need no image tools.
set -euo pipefail
cd "$(dirname "$0")"
for name in bindwise application-x-bindwise; do
  for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    /usr/bin/convert -background none -density 384 "$name.svg" -resize "${size}x${size}" \
      -strip "PNG32:${size}x${size}/$name.png"
  done
done
