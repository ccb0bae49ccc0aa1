#!/bin/sh
# Renders the application icon assets/framora.svg into assets/icons/framora-<size>.png.
# Needs ImageMagick's convert (its own SVG renderer is enough for this simple drawing).
# Run from the repository root after changing the SVG, and commit the PNGs.
set -eu
src=assets/framora.svg
out=assets/icons
mkdir -p "$out"
for size in 16 32 48 64 128 256; do
    # Render large and scale down: cleaner edges than rendering at the target size.
    convert -background none -density 384 "$src" \
        -filter Lanczos -resize "${size}x${size}" \
        -depth 8 -strip -define png:exclude-chunks=date,time \
        "PNG32:$out/framora-$size.png"
done
echo "Icons written to $out/"
