#!/bin/sh
# Makes small test clips with ffmpeg, for the engine tests and for trying things by hand:
#   make-test-clips.sh OUTPUT_FOLDER [NAME...]
# Without names every clip is made. Names: clip.<ext> for each of the twelve supported
# containers (4 s, 176x144, 25 fps, with sound), play.mp4 (testsrc with its counter,
# 5 s, 320x240, 25 fps), still.mp4 (one black picture for 20 s, 160x120), rotated.mp4
# (320x240 stored, to be shown a quarter turn round), wide.mp4 (320x240 with pixels twice
# as wide as high), wide.vob (352x288 MPEG-2 shown at 16:9, 4 s), hd.mp4 (1280x720,
# 6 s), broken.avi (a text file), and 75 % colour bars coded losslessly with H.264 (2 s):
# bars709.mp4 (1280x720, BT.709), bars601.mp4 (720x480, BT.601), bars-untagged.mp4
# (1920x1080, BT.709 without a tag), bars709full.mp4 (full range) and bars709-10bit.mp4;
# bars2020.mp4, barspq.mp4 and barshlg.mp4 (640x360, the BT.709 bars in 10-bit BT.2020
# with the BT.2020 SDR, PQ and HLG transfers, SDR white at 203 nits as BT.2408 places it,
# HEVC lossless; zscale turns them, but for HLG, see hlgbars; barshlg-zscale.mp4 is
# zscale's own HLG, for the benchmark) and rampq.mp4 (640x64, a PQ grey ramp from 0 to 1,000
# nits, left to right); counter.mp4 (10 s, 320x240, 25 fps, lossless, frame n a flat grey of
# level n; counter2997.mp4 the same at 30000/1001 fps) and
# cut.mp4 (its first half only, as from an interrupted download); the counter with
# awkward timestamps (counter-*.ts/mkv/mp4/avi, counter23976.mp4; see their case below);
# play.mpg (MPEG-2 program stream without sound); twotracks.mkv (two video tracks, the
# second the default), sizechange.ts (320x240, then 640x480, then 1280x720) and audio.mp4
# (sound only). Clips not in the list above are made only when named.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUTPUT_FOLDER [NAME...]" >&2
    exit 2
fi
out=$1
shift
mkdir -p "$out"
if [ $# -eq 0 ]; then
    set -- clip.mpg clip.avi clip.mpe clip.3gp clip.3g2 clip.asf clip.hdmov clip.m4v \
        clip.mkv clip.mp4 clip.wmv clip.vob play.mp4 still.mp4 rotated.mp4 wide.mp4 wide.vob \
        hd.mp4 broken.avi bars709.mp4 bars601.mp4 bars-untagged.mp4 bars709full.mp4 \
        bars709-10bit.mp4 bars2020.mp4 barspq.mp4 barshlg.mp4 rampq.mp4 counter.mp4 counter2997.mp4 \
        cut.mp4 twotracks.mkv sizechange.ts audio.mp4
fi

# encode NAME SECONDS SIZE VIDEO_SOURCE -- ffmpeg output options...
encode() {
    name=$1 seconds=$2 size=$3 source=$4
    shift 5
    ffmpeg -hide_banner -loglevel error -nostdin -y \
        -f lavfi -i "$source=size=$size:rate=25:duration=$seconds" \
        -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds" \
        -shortest "$@" "$out/$name"
}

# bars NAME SIZE MATRIX RANGE PIXEL_FORMAT [TAGS...]: seven bars of 75 % colours, drawn in
# RGB and converted to YUV with the given matrix and range.
bars() {
    name=$1 size=$2 matrix=$3 range=$4 format=$5
    shift 5
    bar='st(0,floor(X*7/W));'
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
        -i "color=black:s=$size:r=25:d=2,format=gbrp,geq=r='${bar}191*(lt(ld(0),2)+eq(ld(0),4)+eq(ld(0),5))':g='${bar}191*lt(ld(0),4)':b='${bar}191*(1-mod(ld(0),2))',scale=out_color_matrix=$matrix:out_range=$range,format=$format" \
        -c:v libx264 -qp 0 -preset ultrafast "$@" "$out/$name"
}

# hdrbars NAME TRANSFER: the 75 % bars of BT.709 in BT.2020 with another transfer.
hdrbars() {
    bar='st(0,floor(X*7/W));'
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
        -i "color=black:s=640x360:r=25:d=2,format=gbrp,geq=r='${bar}191*(lt(ld(0),2)+eq(ld(0),4)+eq(ld(0),5))':g='${bar}191*lt(ld(0),4)':b='${bar}191*(1-mod(ld(0),2))',zscale=matrixin=gbr:transferin=bt709:primariesin=bt709:rangein=full:matrix=2020_ncl:transfer=$2:primaries=bt2020:range=limited:npl=203,format=yuv420p10le" \
        -c:v libx265 -x265-params lossless=1:log-level=error -colorspace bt2020nc \
        -color_primaries bt2020 -color_trc "$2" -color_range tv "$out/$1"
}

# hlgbars NAME: the same bars in HLG as BT.2100 codes display light: through its inverse
# OOTF (on luminance, for a 1,000-nit display) and the OETF. zscale's HLG raises each
# channel to the power 1.2 instead, which BT.2100 does not, so a decoder that follows the
# standard shows its saturated bars up to 55 levels off. The bars' 16-bit signals are
# worked out here (BT.709 to BT.2020 as BT.2087, from the primaries) and only the matrix
# is left to zscale.
hlgbars() {
    signals=$(awk 'BEGIN {
        m[0,0] = 0.6274038959; m[0,1] = 0.3292830384; m[0,2] = 0.0433130657
        m[1,0] = 0.0690972894; m[1,1] = 0.9195403951; m[1,2] = 0.0113623156
        m[2,0] = 0.0163914389; m[2,1] = 0.0880133079; m[2,2] = 0.8955952532
        a = 0.17883277; b = 1 - 4 * a; c = 0.5 - a * log(4 * a)
        lit = (191 / 255) ^ 2.4
        split("7 6 3 2 5 4 1", bits, " ") # gray, yellow, cyan, green, magenta, red, blue
        for (bar = 1; bar <= 7; ++bar) {
            for (i = 0; i < 3; ++i) rgb[i] = int(bits[bar] / 2 ^ (2 - i)) % 2 * lit
            for (i = 0; i < 3; ++i) f[i] = 203 * (m[i,0] * rgb[0] + m[i,1] * rgb[1] + m[i,2] * rgb[2])
            yd = 0.2627 * f[0] + 0.6780 * f[1] + 0.0593 * f[2]
            for (i = 0; i < 3; ++i) {
                e = yd > 0 ? f[i] / 1000 * (yd / 1000) ^ (-0.2 / 1.2) : 0
                s = e <= 1 / 12 ? sqrt(3 * e) : a * log(12 * e - b) + c
                expr[i] = expr[i] "if(eq(ld(0)," bar - 1 ")," int(s * 65535 + 0.5) ","
            }
        }
        for (i = 0; i < 3; ++i) print expr[i] "0)))))))"
    }')
    r=$(echo "$signals" | sed -n 1p)
    g=$(echo "$signals" | sed -n 2p)
    b=$(echo "$signals" | sed -n 3p)
    bar='st(0,floor(X*7/W));'
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
        -i "color=black:s=640x360:r=25:d=2,format=gbrp16le,geq=r='$bar$r':g='$bar$g':b='$bar$b',zscale=matrixin=gbr:transferin=arib-std-b67:primariesin=bt2020:rangein=full:matrix=2020_ncl:transfer=arib-std-b67:primaries=bt2020:range=limited,format=yuv420p10le" \
        -c:v libx265 -x265-params lossless=1:log-level=error -colorspace bt2020nc \
        -color_primaries bt2020 -color_trc arib-std-b67 -color_range tv "$out/$1"
}

small=176x144
for name in "$@"; do
    case $name in
    clip.mpg) encode "$name" 4 $small testsrc -- -c:v mpeg1video -b:v 400k -c:a mp2 -f mpeg ;;
    clip.mpe) encode "$name" 4 $small testsrc -- -c:v mpeg2video -b:v 400k -c:a mp2 -f mpeg ;;
    play.mpg)
        # An MPEG-2 program stream without sound, 320x240, which libVLC learns the size of
        # only from the pictures.
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i testsrc=size=320x240:rate=25:duration=4 -c:v mpeg2video -q:v 3 "$out/$name"
        ;;
    clip.vob) encode "$name" 4 $small testsrc -- -c:v mpeg2video -b:v 400k -c:a ac3 -ar 48000 -f vob ;;
    clip.avi) encode "$name" 4 $small testsrc -- -c:v mpeg4 -c:a mp2 -f avi ;;
    clip.3gp) encode "$name" 4 $small testsrc -- -c:v h263 -c:a aac -ac 1 -ar 22050 -f 3gp ;;
    clip.3g2) encode "$name" 4 $small testsrc -- -c:v mpeg4 -c:a aac -ac 1 -ar 22050 -f 3g2 ;;
    clip.asf | clip.wmv) encode "$name" 4 $small testsrc -- -c:v wmv2 -c:a wmav2 -f asf ;;
    clip.hdmov) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mov ;;
    clip.m4v) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f ipod ;;
    clip.mkv) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a libvorbis -f matroska ;;
    clip.mp4) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4 ;;
    clip.mov | clip.qt) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mov ;;
    clip.webm) encode "$name" 4 $small testsrc -- -c:v libvpx-vp9 -deadline realtime -b:v 300k -c:a libopus -f webm ;;
    clip.mpeg) encode "$name" 4 $small testsrc -- -c:v mpeg2video -b:v 400k -c:a mp2 -f mpeg ;;
    clip.m2v) encode "$name" 4 $small testsrc -- -an -c:v mpeg2video -b:v 400k -f mpeg2video ;;
    clip.ts) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mpegts ;;
    clip.m2ts | clip.mts) encode "$name" 4 $small testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a ac3 -f mpegts -mpegts_m2ts_mode 1 ;;
    clip.ogv) encode "$name" 4 $small testsrc -- -c:v libtheora -q:v 5 -c:a libvorbis -f ogg ;;
    clip.flv) encode "$name" 4 $small testsrc -- -c:v flv -c:a aac -ar 44100 -f flv ;;
    clip.divx) encode "$name" 4 $small testsrc -- -c:v mpeg4 -vtag DIVX -c:a mp3 -f avi ;;
    play.mp4) encode "$name" 5 320x240 testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4 ;;
    still.mp4) encode "$name" 20 160x120 color -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4 ;;
    rotated.mp4)
        encode unrotated.mp4 3 320x240 testsrc -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4
        ffmpeg -hide_banner -loglevel error -nostdin -y -i "$out/unrotated.mp4" -c copy \
            -metadata:s:v:0 rotate=90 "$out/rotated.mp4"
        rm -f "$out/unrotated.mp4"
        ;;
    wide.mp4) encode "$name" 3 320x240 testsrc -- -vf setsar=2 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4 ;;
    wide.vob) encode "$name" 4 352x288 testsrc -- -c:v mpeg2video -b:v 1M -aspect 16:9 -c:a mp2 -f vob ;;
    hd.mp4) encode "$name" 6 1280x720 testsrc2 -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -f mp4 ;;
    bars709.mp4) bars "$name" 1280x720 bt709 tv yuv420p -colorspace bt709 -color_range tv ;;
    bars601.mp4) bars "$name" 720x480 bt601 tv yuv420p -colorspace smpte170m -color_range tv ;;
    bars-untagged.mp4) bars "$name" 1920x1080 bt709 tv yuv420p ;;
    bars709full.mp4) bars "$name" 1280x720 bt709 pc yuvj420p -colorspace bt709 -color_range pc ;;
    bars709-10bit.mp4) bars "$name" 1280x720 bt709 tv yuv420p10le -colorspace bt709 -color_range tv ;;
    bars2020.mp4) hdrbars "$name" bt2020-10 ;;
    barspq.mp4) hdrbars "$name" smpte2084 ;;
    barshlg.mp4) hlgbars "$name" ;;
    barshlg-zscale.mp4) hdrbars "$name" arib-std-b67 ;;
    rampq.mp4)
        # Luma is PQ's signal for 1000 * X / (W - 1) nits, in 10-bit limited range.
        pq='st(0,pow(1000*X/(W-1)/10000,0.1593017578125));64+876*pow((0.8359375+18.8515625*ld(0))/(1+18.6875*ld(0)),78.84375)'
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "color=black:s=640x64:r=25:d=2,format=yuv420p10le,geq=lum='$pq':cb=512:cr=512" \
            -c:v libx265 -x265-params lossless=1:log-level=error -colorspace bt2020nc \
            -color_primaries bt2020 -color_trc smpte2084 -color_range tv "$out/$name"
        ;;
    counter.mp4 | counter2997.mp4)
        rate=25
        [ "$name" = counter2997.mp4 ] && rate=30000/1001
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "color=black:s=320x240:r=$rate:d=10,format=gray,geq=lum='mod(N,256)'" \
            -c:v libx264 -qp 0 -preset ultrafast -pix_fmt yuvj420p -g 50 "$out/$name"
        ;;
    counter-ts.ts | counter-wrap.ts | counter-late.mkv | counter-negative.mkv | counter23976.mp4 | counter-vfr.mkv | counter-1.mp4 | counter-2.avi)
        # The counter (frame n a flat grey of level n) with awkward timestamps, 4 s: a
        # transport stream as ffmpeg writes it (starting at 1.4 s), one across the 33-bit
        # wrap of its clock, a Matroska file starting at 10 s, one whose first second has
        # negative timestamps (which libavformat reads as none), 24000/1001 fps, a variable
        # frame rate (frames of 40 ms, then of 60 ms, then of 40 ms), and
        # videos of one frame (MP4) and of two (AVI).
        rate=25 frames=100 filter=null options=
        case $name in
        counter-wrap.ts) options="-output_ts_offset 95442" ;;
        counter-late.mkv) options="-output_ts_offset 10" ;;
        counter-negative.mkv) options="-output_ts_offset -1 -avoid_negative_ts disabled" ;;
        counter23976.mp4) rate=24000/1001 ;;
        counter-vfr.mkv)
            filter="setpts='(N*0.04+0.02*clip(N-30,0,30))/TB'"
            options="-fps_mode vfr"
            ;;
        counter-1.mp4) frames=1 ;;
        counter-2.avi) frames=2 ;;
        esac
        # shellcheck disable=SC2086 # options are words
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "color=black:s=320x240:r=$rate:d=10,format=gray,geq=lum='mod(N,256)',$filter" \
            -frames:v $frames -c:v libx264 -qp 0 -preset ultrafast -pix_fmt yuvj420p -g 25 \
            $options "$out/$name"
        ;;
    counter-long.avi)
        # The counter (100 frames) in AVI with B-frames, which AVI gives no presentation
        # timestamps for, and a header that claims 1430275 frames (57211 s).
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "color=black:s=320x240:r=25:d=4,format=gray,geq=lum='N'" \
            -c:v libx264 -crf 12 -bf 3 -pix_fmt yuvj420p -g 25 "$out/$name"
        claim() { printf '\003\323\025\000' | dd of="$out/$name" bs=1 seek="$1" conv=notrunc 2>/dev/null; }
        claim 48 # the main header's frame count
        strh=$(grep -obUa strh "$out/$name" | head -n 1 | cut -d: -f1)
        claim $((strh + 40)) # the stream's length
        ;;
    counter-noise.mp4)
        # The counter (flat greys, tiny as images) with two frames of noise (large as
        # images) at 25 and 26, 2 s, lossless.
        ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
            -i "color=black:s=320x240:r=25:d=2,format=gray,geq=lum='if(between(N,25,26),random(1)*255,N)'" \
            -c:v libx264 -qp 0 -preset ultrafast -pix_fmt yuvj420p "$out/$name"
        ;;
    counter-joined.ts)
        # Two MPEG transport streams joined as cat joins them, the clock starting again in
        # the middle: the counter's frames 0-99, then 100-199 (4 s each).
        for part in 0 100; do
            ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
                -i "color=black:s=320x240:r=25:d=4,format=gray,geq=lum='N+$part'" \
                -c:v mpeg2video -q:v 2 -pix_fmt yuv420p "$out/part$part.ts"
        done
        cat "$out/part0.ts" "$out/part100.ts" >"$out/$name"
        rm -f "$out/part0.ts" "$out/part100.ts"
        ;;
    twotracks.mkv)
        # Two video tracks; the second, 1280x720, is the one marked to be played.
        ffmpeg -hide_banner -loglevel error -nostdin -y \
            -f lavfi -i testsrc=size=320x240:rate=25:duration=3 \
            -f lavfi -i testsrc2=size=1280x720:rate=25:duration=3 -map 0:v -map 1:v \
            -c:v libx264 -preset ultrafast -pix_fmt yuv420p \
            -disposition:v:0 0 -disposition:v:1 default "$out/$name"
        ;;
    sizechange.ts)
        # An MPEG transport stream whose picture grows from 320x240 to 640x480 after 2 s,
        # and to 1280x720 after 4 s.
        start=0
        for size in 320x240 640x480 1280x720; do
            ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi \
                -i testsrc=size=$size:rate=25:duration=2 -c:v libx264 -preset ultrafast \
                -pix_fmt yuv420p -output_ts_offset $start "$out/part$start.ts"
            start=$((start + 2))
        done
        cat "$out/part0.ts" "$out/part2.ts" "$out/part4.ts" >"$out/$name"
        rm -f "$out/part0.ts" "$out/part2.ts" "$out/part4.ts"
        ;;
    scenes.mp4)
        # A film of twenty shots, 320x180 at 25 fps, 990 frames, for finding scenes. Hard
        # cuts start shots at frames 50 90 150 200 245 295 390 430 510 550 655 695 745 790
        # 830 880 930. Shot 7 dissolves into shot 8 over frames 330-354 (shot 8 whole from
        # 355); shot 12 fades to black over 588-599 and shot 13 fades in from black over
        # 600-611. Shot 10 (430-509) is a camera pan over a still picture, 12 pixels a
        # frame, with no cut inside. Some shots move (counters, zooms, living cells), some
        # carry grain, some stand still.
        s=320x180
        ffmpeg -hide_banner -loglevel error -nostdin -y -filter_complex "
            testsrc2=s=$s,trim=end_frame=50,format=yuv420p[s1];
            smptebars=s=$s,trim=end_frame=40,format=yuv420p[s2];
            mandelbrot=s=$s,trim=end_frame=60,format=yuv420p[s3];
            life=s=$s:seed=7:mold=10:life_color=#40ff40:death_color=#501010:mold_color=#ff40c0,trim=end_frame=50,format=yuv420p[s4];
            cellauto=s=$s:seed=3:rule=110,trim=end_frame=45,format=yuv420p[s5];
            gradients=s=$s:seed=1:c0=#ff8000:c1=#400060:speed=0.05,trim=end_frame=50,format=yuv420p[s6];
            color=c=#101848:s=$s[b7]; color=c=#e0e0e0:s=60x50[k7];
            [b7][k7]overlay=x='20+3*n':y=60,noise=alls=12:allf=t,trim=end_frame=60,format=yuv420p[s7];
            sierpinski=s=$s:seed=5,trim=end_frame=60,format=yuv420p[s8];
            [s7][s8]xfade=transition=fade:duration=1:offset=1.4[s78];
            yuvtestsrc=s=$s,trim=end_frame=40,format=yuv420p[s9];
            mandelbrot=s=1440x240:start_scale=1.2:end_scale=1.2,crop=320:180:'160+12*n':30,trim=end_frame=80,format=yuv420p[s10];
            smptehdbars=s=$s,eq=brightness=-0.15,trim=end_frame=40,format=yuv420p[s11];
            color=c=#0c3a14:s=$s,drawbox=x=40:y=30:w=90:h=90:c=#c0a030:t=fill,drawbox=x=200:y=80:w=80:h=60:c=#6080ff:t=8,noise=alls=8:allf=t,trim=end_frame=50,fade=t=out:start_frame=38:nb_frames=12,format=yuv420p[s12];
            testsrc=s=$s,trim=end_frame=55,fade=t=in:start_frame=0:nb_frames=12,format=yuv420p[s13];
            haldclutsrc=level=6,scale=$s,setsar=1,trim=end_frame=40,format=yuv420p[s14];
            life=s=$s:seed=11:ratio=0.3:life_color=#ffe080:death_color=#203070,trim=end_frame=50,format=yuv420p[s15];
            gradients=s=$s:seed=2:c0=#00c0a0:c1=#102010:type=radial:speed=0.03,trim=end_frame=45,format=yuv420p[s16];
            rgbtestsrc=s=$s,trim=end_frame=40,format=yuv420p[s17];
            cellauto=s=$s:seed=9:rule=30,format=rgb24,colorchannelmixer=rr=0.9:gg=0.7:bb=0.2,trim=end_frame=50,format=yuv420p[s18];
            mandelbrot=s=$s:start_x=-0.2:start_y=0.8:start_scale=0.8:end_scale=0.4:end_pts=50,trim=end_frame=50,format=yuv420p[s19];
            color=c=#601018:s=$s,drawgrid=w=40:h=30:t=2:c=#ffffff@0.5[b20]; color=c=#20c0c0:s=40x40[k20];
            [b20][k20]overlay=x='260-2*n':y=100,noise=alls=10:allf=t,trim=end_frame=60,format=yuv420p[s20];
            [s1][s2][s3][s4][s5][s6][s78][s9][s10][s11][s12][s13][s14][s15][s16][s17][s18][s19][s20]concat=n=19[v]" \
            -map '[v]' -c:v libx264 -preset ultrafast -g 50 "$out/$name"
        ;;
    audio.mp4) encode "$name" 3 160x120 color -- -vn -c:a aac -f mp4 ;;
    cut.mp4)
        # counter.mp4 with its index in front and the second half of its frames missing.
        [ -s "$out/counter.mp4" ] || sh "$0" "$out" counter.mp4
        ffmpeg -hide_banner -loglevel error -nostdin -y -i "$out/counter.mp4" -c copy \
            -movflags +faststart "$out/whole.mp4"
        head -c "$(($(stat -c %s "$out/whole.mp4") / 2))" "$out/whole.mp4" >"$out/$name"
        rm -f "$out/whole.mp4"
        ;;
    broken.avi) printf 'This is a text file, not a video.\n' >"$out/$name" ;;
    *)
        echo "$0: unknown clip $name" >&2
        exit 2
        ;;
    esac
done
