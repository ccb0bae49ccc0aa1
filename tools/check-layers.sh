#!/bin/sh
# Fails when a source folder includes a header of a folder above it. The layers, top to
# bottom: app, shell, capture, playback, media, settings, localisation, folderbrowse, platform.
set -eu
cd "$(dirname "$0")/.."
layers="app shell capture playback media settings localisation folderbrowse platform"
status=0
above=""
for layer in $layers; do
    for upper in $above; do
        hits=$(grep -rn --include='*.cpp' --include='*.h' "#include \"$upper/" "$layer" || true)
        if [ -n "$hits" ]; then
            echo "$layer/ may not include $upper/ (a layer above it):" >&2
            echo "$hits" >&2
            status=1
        fi
    done
    above="$above $layer"
done
exit $status
