#!/bin/sh
# Installs the packages, builds Framora with its tests and runs every test through CTest.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
./tools/check-format.sh
./tools/check-layers.sh
# The benchmark is built too (not run), so that it cannot fall behind the code it measures.
./tools/build.sh -DFRAMORA_BENCH=ON
# The Debian package, checked as Debian checks packages; the end-to-end tests install it.
./tools/package.sh >/dev/null
if command -v lintian >/dev/null 2>&1; then
    lintian --fail-on error build/framora_*.deb
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net assets/org.framora.Framora.metainfo.xml
fi
# End-to-end tests need a real X server; everything else runs on Qt's offscreen platform.
# -noreset keeps the server up between tests that each connect and disconnect.
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
    ctest --test-dir build --output-on-failure --timeout 600 -j2
# Every unit test again under AddressSanitizer and UndefinedBehaviorSanitizer.
./tools/sanitize.sh --output-on-failure
# The readers of outside input (Config.cfg, language packs, interval texts) under libFuzzer.
FRAMORA_FUZZ_SECONDS=${FRAMORA_FUZZ_SECONDS:-30} ./tools/fuzz.sh
