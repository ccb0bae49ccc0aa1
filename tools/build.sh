#!/bin/sh
# Configures and builds Framora into build/ (or $FRAMORA_BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
dir=${FRAMORA_BUILD_DIR:-build}
launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
