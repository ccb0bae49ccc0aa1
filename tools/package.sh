#!/bin/sh
# Builds the Debian package build/framora_<version>_<arch>.deb (or into
# $FRAMORA_BUILD_DIR) from a release build of the program.
set -eu
cd "$(dirname "$0")/.."
dir=${FRAMORA_BUILD_DIR:-build}
./tools/build.sh
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/framora_*.deb
