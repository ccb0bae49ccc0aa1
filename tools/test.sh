#!/bin/sh
# Installs the packages, builds Framora with its tests and runs every test through CTest.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
./tools/build.sh
# End-to-end tests need a real X server; everything else runs on Qt's offscreen platform.
xvfb-run -a -s "-screen 0 1280x800x24" \
    ctest --test-dir build --output-on-failure --timeout 600 -j2
