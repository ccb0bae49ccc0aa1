#!/bin/sh
# Makes samples/sample.mp4: ten seconds of ffmpeg's test pattern with its frame counter
# and a 440 Hz tone. Run from the repository root.
set -eu
ffmpeg -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc=size=320x240:rate=25:duration=10" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=10" \
    -c:v libx264 -preset veryslow -crf 30 -pix_fmt yuv420p \
    -c:a aac -b:a 48k -shortest -movflags +faststart \
    samples/sample.mp4
