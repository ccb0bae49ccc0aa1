#!/bin/sh
# The capture benchmark: builds Framora and its benchmark program into build-bench/ (or
# $FRAMORA_BENCH_DIR) as run.sh builds it (RelWithDebInfo), makes the test clips once,
# and prints the tables that docs/performance.md records (also written to
# <build dir>/bench-work/results.md). Takes about 15 minutes with the defaults.
#   tools/bench.sh [--runs N] [--seconds S] [--sizes 640x360,1280x720,1920x1080]
#                  [--parts snapshot,colour,continuous,export,modes,idle,startup,peers]
# The peers part (other players capturing every frame) is run only when named; it
# installs VLC and mpv first. The modes part (Export Frames' other choices) is run only
# when named: it makes a 10-minute and a 2-hour 1080p clip first (a few minutes, once). A size of 3840x2160 makes a 4K clip as well.
set -eu
cd "$(dirname "$0")/.."
for tool in cmake ninja ffmpeg xvfb-run; do
    command -v "$tool" >/dev/null 2>&1 || ./tools/install-deps.sh
done
dir=${FRAMORA_BENCH_DIR:-build-bench}
launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFRAMORA_BENCH=ON $launcher >/dev/null
cmake --build "$dir" --target framora framora_bench -j"$(nproc)"

case " $* " in
*peers*)
    for tool in cvlc mpv setpriv; do
        command -v "$tool" >/dev/null 2>&1 ||
            { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq vlc mpv util-linux; }
    done
    ;;
esac
sizes="640x360:2500k:bt601:smpte170m 1280x720:6M:bt709:bt709 1920x1080:12M:bt709:bt709"
case " $* " in
*3840x2160*) sizes="$sizes 3840x2160:40M:bt709:bt709" ;;
esac
# A smooth picture (no grain), where PNG row prediction pays: --sizes 1920x1080-smooth.
case " $* " in
*1920x1080-smooth*) sizes="$sizes 1920x1080-smooth:12M:bt709:bt709" ;;
esac

work=$dir/bench-work
clips=$work/clips-tagged
mkdir -p "$clips"
# Natural-looking detail: a moving test pattern with fresh grain on every frame, at
# bitrates a camera would use. Flat patterns would make PNG look cheap (the smooth clip is
# there to show that case). Colours are coded and tagged as a camera would: BT.601 for SD,
# BT.709 for HD.
for clip_spec in $sizes; do
    size=${clip_spec%%:*}
    rest=${clip_spec#*:}
    rate=${rest%%:*}
    rest=${rest#*:}
    matrix=${rest%%:*}
    tag=${rest#*:}
    clip=$clips/clip-$size.mp4
    [ -s "$clip" ] && continue
    echo "Making $clip" >&2
    grain=noise=alls=12:allf=t,
    case $size in *-smooth) grain= ;; esac
    ffmpeg -hide_banner -loglevel error -nostdin -y \
        -f lavfi -i "testsrc2=size=${size%-smooth}:rate=25:duration=12,${grain}scale=out_color_matrix=$matrix:out_range=tv" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=12" -shortest \
        -c:v libx264 -preset veryfast -maxrate "$rate" -bufsize "$rate" -pix_fmt yuv420p \
        -colorspace "$tag" -color_primaries "$tag" -color_trc "$tag" -color_range tv \
        -c:a aac -movflags +faststart "$clip.part.mp4"
    mv "$clip.part.mp4" "$clip"
done

# The colour part's clips: BT.709 bars in BT.2020 with each transfer, a PQ ramp, and with
# a 4K size a 10-bit HLG clip of the grainy pattern to play.
for name in bars2020.mp4 barspq.mp4 barshlg.mp4 barshlg-zscale.mp4 rampq.mp4; do
    [ -s "$clips/$name" ] || sh tools/make-test-clips.sh "$clips" "$name"
done
case " $* " in
*3840x2160*)
    hlg=$clips/clip-3840x2160-hlg.mp4
    if [ ! -s "$hlg" ]; then
        echo "Making $hlg" >&2
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "testsrc2=size=3840x2160:rate=25:duration=12,noise=alls=12:allf=t,zscale=matrixin=709:transferin=709:primariesin=709:rangein=full:matrix=2020_ncl:transfer=arib-std-b67:primaries=2020:range=limited:npl=203,format=yuv420p10le" \
            -c:v libx265 -preset ultrafast -x265-params log-level=error:bitrate=40000:vbv-maxrate=40000:vbv-bufsize=40000 \
            -colorspace bt2020nc -color_primaries bt2020 -color_trc arib-std-b67 -color_range tv \
            -tag:v hvc1 "$hlg.part.mp4"
        mv "$hlg.part.mp4" "$hlg"
    fi
    ;;
esac

# The modes part's clips: ten minutes of 1080p H.264 with a key frame every 2 s, the same
# twelve times over as two hours (joined without re-encoding), and the film of 20 shots.
modes=$work/clips-modes
case " $* " in
*modes*)
    mkdir -p "$modes"
    if [ ! -s "$modes/long-1080p.mp4" ]; then
        echo "Making $modes/long-1080p.mp4" >&2
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "testsrc2=size=1920x1080:rate=25:duration=600" -c:v libx264 -preset ultrafast \
            -g 50 -b:v 2M -pix_fmt yuv420p "$modes/long-1080p.part.mp4"
        mv "$modes/long-1080p.part.mp4" "$modes/long-1080p.mp4"
    fi
    if [ ! -s "$modes/long-1080p-2h.mp4" ]; then
        for _ in 1 2 3 4 5 6 7 8 9 10 11 12; do echo "file 'long-1080p.mp4'"; done >"$modes/list.txt"
        ffmpeg -hide_banner -loglevel error -nostdin -y -f concat -safe 0 -i "$modes/list.txt" \
            -c copy "$modes/long-1080p-2h.part.mp4"
        mv "$modes/long-1080p-2h.part.mp4" "$modes/long-1080p-2h.mp4"
    fi
    [ -s "$modes/scenes.mp4" ] || sh tools/make-test-clips.sh "$modes" scenes.mp4
    ;;
esac

set -- "$dir/bin/framora_bench" report --clips "$clips" --work "$work" \
    --framora "$dir/bin/framora" --mode-clips "$modes" "$@"
# The main window needs an X server; the measured runs start their own processes in it.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$@"
fi
exec "$@"
