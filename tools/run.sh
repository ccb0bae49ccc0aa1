#!/bin/sh
# Installs the packages, builds Framora and starts it on the bundled sample video.
# Without a display (no DISPLAY or WAYLAND_DISPLAY) it runs inside a virtual X server.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
./tools/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Framora inside Xvfb (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1280x800x24" ./build/bin/framora samples/sample.mp4
fi
exec ./build/bin/framora samples/sample.mp4
