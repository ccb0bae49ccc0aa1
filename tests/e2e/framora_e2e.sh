#!/usr/bin/env bash
# End-to-end tests of Framora through its real window: the program runs from a private
# copy of its application folder on an X server and is driven with xdotool; the outcome
# is checked on disk (snapshot files, Config.cfg).
#
# Usage: framora_e2e.sh <framora executable> <work folder> <case>
# Exits 77 (skipped) without an X display. The work folder is emptied first and left
# behind for inspection (screenshots, program output, snapshots).
set -eu
# A failure inside $(...) ends the test there too.
shopt -s inherit_errexit

[ $# -eq 3 ] || { echo "usage: $0 <framora executable> <work folder> <case>" >&2 && exit 2; }
exe=$1 work=$2 case_name=$3
bindir=$(cd "$(dirname "$exe")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
    echo "SKIPPED: no X display (tools/test.sh runs the tests under xvfb-run)"
    exit 77
fi

. "$(dirname "$0")/e2e_lib.sh"

for tool in xdotool xprop xclip import identify compare ffmpeg md5sum od timeout; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed"
done
[ -x "$exe" ] || fail "no program at $exe"
# The folder is removed below, so it must be one of ours.
case $work in
/*/work/"$case_name") ;;
*) fail "work folder $work does not end in work/$case_name" ;;
esac

rm -rf "$work"
mkdir -p "$work/home" "$work/runtime" "$work/snapshots"
chmod 700 "$work/runtime"
trap stop_all EXIT
hold_display

# Nothing of the user's own: a fresh home (the default snapshot folder is its Pictures),
# a runtime folder of its own (the single-instance lock lives there), and no session bus.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus QT_QPA_PLATFORM=xcb
# Real video in the window; sound to nowhere, as there may be no sound device.
export FRAMORA_VLC_ARGS=--aout=dummy
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

snapshots=$work/snapshots
images=$snapshots/"$clip_name Images"
main_title='^Framora \[ '"${clip_name//./\\.}"' \]$'
make_app_folder

# start_playing <format> <skip prompt> <interval>: Config.cfg with those, then the program
# on the clip until the clip plays in its window; sets main_pid and main_window.
start_playing() {
    write_config "$1" "$snapshots" IMG_ "$2" "$3"
    make_clip
    start_framora "$work/$clip_name"
    main_pid=$started_pid
    main_window=$(await_window "$main_pid" "$main_title" "main window with the clip")
    await_video_playing "$main_window"
}

no_error() { no_window "$main_pid" '^Error$' || fail "an error message came up"; }

# capture_off <key> <mode>: switches a capture mode off and waits until no more images
# come; the clip still plays, so the key ended the mode, not the clip. Prints the count.
capture_off() {
    local count
    press "$main_window" "$1"
    count=$(await_stable_count "$images" png 2)
    await_video_playing "$main_window"
    [ "$(count_images "$images" png)" -eq "$count" ] ||
        fail "images kept coming after $2 capture was switched off"
    printf '%s\n' "$count"
}

# Ctrl+F1 writes the first image of the per-video folder, a PNG at the clip's size.
case_single_snapshot() {
    start_playing 0 0 5000
    press "$main_window" ctrl+F1
    wait_until "first snapshot" test -f "$images/IMG_00001.png"
    expect_image "$images/IMG_00001.png" PNG
    [ "$(count_images "$images" png)" -eq 1 ] || fail "one Ctrl+F1 gave more than one image"
    no_error
}

# Ctrl+F2 captures different frames while the clip plays, until Ctrl+F2 again.
case_continuous_capture() {
    start_playing 0 0 5000
    press "$main_window" ctrl+F2
    wait_until "five continuous snapshots" images_at_least "$images" png 5
    local count distinct
    count=$(capture_off ctrl+F2 continuous)
    distinct=$(md5sum "$images"/IMG_*.png | cut -d' ' -f1 | sort -u | wc -l)
    log "continuous capture: $count images, $distinct distinct"
    [ "$distinct" -ge 3 ] || fail "only $distinct distinct images among $count"
    expect_image "$images/IMG_$(printf '%05d' "$count").png" PNG
    no_error
}

# A menu is a window of the program's class beside the main window (with neither a
# process id nor a plain title to find it by).
menu_open() {
    [ "$(xdotool search --onlyvisible --classname '^framora$' 2>/dev/null | wc -l)" -ge 2 ]
}

# The frame number written into a snapshot.
frame_of() { identify -format '%[Frame Number]' "$1" 2>/dev/null; }

# snapshot_when_still <n>: Ctrl+F1 until snapshot n holds the same frame as the one before
# it (a step has landed; the picture is still); prints its frame number.
snapshot_when_still() {
    local n=$1 file
    file=$images/$(printf 'IMG_%05d.png' "$n")
    press "$main_window" ctrl+F1
    wait_until "snapshot $n" test -f "$file"
    if [ "$n" -gt 1 ] && [ "$(frame_of "$file")" = "$(frame_of "$images/$(printf 'IMG_%05d.png' $((n - 1)))")" ]; then
        frame_of "$file"
        return 0
    fi
    snapshot_when_still $((n + 1))
}

# "." pauses and steps on a frame, "," back; Ctrl+F1 writes the frame with its number,
# Ctrl+C puts the same picture on the clipboard.
case_frame_keys() {
    start_playing 0 0 5000
    press "$main_window" period period
    local first second last
    first=$(snapshot_when_still 1)
    last=$(ls "$images" | tail -n 1)
    press "$main_window" ctrl+c
    wait_until "a picture on the clipboard" \
        sh -c "xclip -selection clipboard -t image/png -o >'$work/clipboard.png' 2>/dev/null"
    [ "$(compare -metric AE "$images/$last" "$work/clipboard.png" null: 2>&1)" = 0 ] ||
        fail "the clipboard holds another picture than the snapshot $last"
    press "$main_window" comma
    second=$(snapshot_when_still $(($(ls "$images" | wc -l) + 1)))
    [ "$second" -eq $((first - 1)) ] || fail "one frame back from $first gave $second"
    no_error
}

# Tools > Options: JPG chosen, OK; the video plays on.
choose_jpg_in_options() {
    press "$main_window" alt+t
    wait_until "the Tools menu" menu_open
    timeout 15 xdotool key o || fail "cannot choose Options"
    local dialog x y
    dialog=$(await_window "$main_pid" '^Options$' "Options dialog")
    # One wheel step down on the image-format list (at twips 1440, 300, 1335 x 315 in the
    # Snapshots frame at 120, 1080; the client area is 6030 twips wide) selects JPG.
    window_geometry "$dialog"
    x=$(awk -v w="$win_w" 'BEGIN { printf "%d", (120 + 1440 + 1335 / 2) * w / 6030 }')
    y=$(awk -v w="$win_w" 'BEGIN { printf "%d", (1080 + 300 + 315 / 2) * w / 6030 }')
    timeout 15 xdotool mousemove --sync --window "$dialog" "$x" "$y" click 5 ||
        fail "cannot scroll the image-format list"
    press "$dialog" Return
    wait_until "the dialog to close" no_window "$main_pid" '^Options$'
    no_window "$main_pid" '^Warning$' || fail "OK asked a question"
    await_video_playing "$main_window"
}

# Ctrl+E, then Export, exports every frame of the whole clip (720p, slow enough to stop
# half-way); Esc stops it and closes the dialog: only whole images are left, frames 0 on.
case_export_cancel() {
    clip_width=1280 clip_height=720
    start_playing 0 0 5000
    press "$main_window" ctrl+e
    local dialog count n frames
    dialog=$(await_window "$main_pid" '^Export Frames$' "Export Frames dialog")
    press "$dialog" Return
    wait_until "the export under way" images_at_least "$images" png 10
    press "$dialog" Escape
    wait_until "the dialog to close" no_window "$main_pid" '^Export Frames$'
    count=$(await_stable_count "$images" png 2)
    frames=$((clip_seconds * 25))
    log "export cancelled after $count of $frames frames"
    [ "$count" -lt "$frames" ] || fail "Esc did not stop the export"
    [ -z "$(ls -A "$images" | grep -v '^IMG_[0-9]\{5\}\.png$')" ] ||
        fail "files other than whole images were left: $(ls -A "$images" | tr '\n' ' ')"
    for ((n = 1; n <= count; n++)); do
        [ "$(frame_of "$images/$(printf 'IMG_%05d.png' "$n")")" = $((n - 1)) ] ||
            fail "image $n is not a whole picture of frame $((n - 1))"
    done
    no_error
}

# Space pauses and plays again as the buttons do, also after a click into the read-only
# folder box; a button reached with Tab takes Space itself: Tab to Stop, Space stops.
case_player_keys() {
    start_playing 0 0 5000
    press "$main_window" space
    wait_until "the picture to stop after Space" video_still "$main_window"
    press "$main_window" space
    await_video_playing "$main_window"
    # The folder box: 240 twips into the frame at the foot of the window, at 96 DPI.
    click_client "$main_window" 194 370
    press "$main_window" space
    wait_until "the picture to stop after Space in the folder box" video_still "$main_window"
    press "$main_window" space
    await_video_playing "$main_window"
    # A click on the video leaves no control focused; Tab goes row by row: Play,
    # Snapshot, Pause, Continuous, Stop.
    click_client "$main_window" $((stage_left + stage_width / 2)) $((stage_top + stage_height / 2))
    press "$main_window" Tab Tab Tab Tab Tab space
    wait_until "the cover after Space on Stop" stage_covered "$main_window"
    no_error
}

# Started by a file manager with a file it refuses: a message box says why, as standard
# error does, and the program stays up.
case_refused_file() {
    write_config 0 "$snapshots" IMG_ 0 5000
    printf 'not a video\n' >"$work/notes.txt"
    start_framora "$work/notes.txt"
    main_pid=$started_pid
    local box
    box=$(await_window "$main_pid" '^Error$' "the refusal's message box")
    grep -q 'notes.txt: neither its name nor its content' "$work/framora-1.err" ||
        fail "standard error does not give the reason"
    press "$box" Return
    wait_until "the box to close" no_window "$main_pid" '^Error$'
    alive "$main_pid" || fail "the program ended after the refusal"
}

# A later start hands its file to the running window, which opens it (its title follows)
# and ends; without a file it just ends. A running window that does not respond makes the
# later start say so and open nothing, not even when the window responds again.
case_hand_over() {
    start_playing 0 0 5000
    make_clip other.mov -c:v libx264 -preset ultrafast -pix_fmt yuv420p
    local later status
    start_framora "$work/other.mov"
    later=$started_pid
    wait_until "the later start to end" ended "$later"
    status=0
    wait "$later" || status=$?
    [ "$status" -eq 0 ] || fail "the later start ended with status $status"
    main_window=$(await_window "$main_pid" '^Framora \[ other\.mov \]$' "the handed file's title")
    await_video_playing "$main_window"
    [ "$(count_windows '^Framora')" -eq 1 ] || fail "a second main window"
    start_framora
    later=$started_pid
    wait_until "the start without a file to end" ended "$later"
    [ "$(count_windows '^Framora')" -eq 1 ] || fail "a second main window without a file"
    # Hung: the later start gives up with a word.
    kill -STOP "$main_pid"
    start_framora "$work/$clip_name"
    later=$started_pid
    local warning
    warning=$(await_window "$later" '^Warning$' "the later start's word that nothing was opened")
    press "$warning" Return
    wait_until "the later start to end" ended "$later"
    status=0
    wait "$later" || status=$?
    kill -CONT "$main_pid"
    [ "$status" -eq 1 ] || fail "the later start to a hung window ended with status $status"
    grep -q 'does not answer' "$work/framora-${#started_pids[@]}.err" ||
        fail "standard error does not say why"
    sleep 2
    has_window "$main_pid" '^Framora \[ other\.mov \]$' ||
        fail "the file given up was opened after all"
    press "$main_window" ctrl+F1
    wait_until "a snapshot of the first instance" test -f "$snapshots/other.mov Images/IMG_00001.png"
}

# What phones and the web write plays from the command line as any other video.
case_command_line_types() {
    write_config 0 "$snapshots" IMG_ 0 5000
    make_clip phone.mov -c:v libx264 -preset ultrafast -pix_fmt yuv420p
    make_clip web.webm -c:v libvpx-vp9 -deadline realtime -b:v 300k
    local name title
    for name in phone.mov web.webm; do
        start_framora "$work/$name"
        main_pid=$started_pid
        title='^Framora \[ '"${name//./\\.}"' \]$'
        main_window=$(await_window "$main_pid" "$title" "$name playing")
        await_video_playing "$main_window"
        no_error
        stop_all
        main_pid=''
    done
}

# A file dropped on the window while a video plays opens as File > Open does; the title
# follows. The drag comes from a small program of the test's own, as a file manager's.
case_drop_while_playing() {
    start_playing 0 0 5000
    make_clip dropped.mkv -c:v libx264 -preset ultrafast -pix_fmt yuv420p
    [ -x "${E2E_DRAG_SOURCE:-}" ] || fail "no drag source program (E2E_DRAG_SOURCE)"
    "$E2E_DRAG_SOURCE" "$work/dropped.mkv" >"$work/drag.out" 2>&1 &
    local source=$! source_window x y
    started_pids+=("$source")
    source_window=$(await_window "$source" '^drag source$' "the drag source")
    window_geometry "$source_window"
    timeout 15 xdotool mousemove --sync $((win_x + 20)) $((win_y + 20)) mousedown 1 ||
        fail "cannot press on the drag source"
    window_geometry "$main_window"
    x=$((win_x + win_w / 2)) y=$((win_y + win_h / 3))
    # The drag moves in steps, as a hand does, so that both programs see it arrive.
    local step
    for step in 1 2 3 4 5; do
        timeout 15 xdotool mousemove --sync $((x - 50 + step * 10)) "$y" || fail "cannot drag"
        sleep 0.2
    done
    timeout 15 xdotool mouseup 1 || fail "cannot drop"
    main_window=$(await_window "$main_pid" '^Framora \[ dropped\.mkv \]$' "the dropped file's title")
    await_video_playing "$main_window"
    no_error
}

# The Debian package, unpacked into a folder of its own and started by an ordinary user
# with a new home: no message at the first start, the defaults written to the user's own
# Config.cfg, a snapshot in ~/Pictures, JPG chosen in the Options dialog saved to the same
# file (numbers in their print form) and taking effect after the reload, and nothing
# written into the program's folder.
case_package() {
    local deb root user_home config shots
    deb=$(ls "$bindir"/../framora_*.deb 2>/dev/null | head -n 1)
    [ -n "$deb" ] || skip "no package built (tools/package.sh)"
    command -v setpriv >/dev/null 2>&1 || skip "setpriv is not installed"
    [ "$(id -u)" -eq 0 ] || skip "only root can start the program as another user"
    root=$work/root user_home=$work/user
    dpkg-deb -x "$deb" "$root" || fail "cannot unpack $deb"
    mkdir -p "$user_home"
    cp "${XAUTHORITY:-$HOME/.Xauthority}" "$user_home/.Xauthority" 2>/dev/null || true
    chown -R nobody "$user_home" "$work/runtime"
    chmod -R a+rX "$work"
    make_clip
    config=$user_home/.config/framora/Config.cfg
    HOME=$user_home XAUTHORITY=$user_home/.Xauthority start_framora_as nobody \
        "$root/usr/bin/framora" "$work/$clip_name"
    main_pid=$started_pid
    main_window=$(await_window "$main_pid" "$main_title" "main window of the package's program")
    await_video_playing "$main_window"
    no_error
    printf '%s\r\n' 0 "$user_home/Pictures" IMG_ 0 5000 0 1 English.ini >"$work/expected.cfg"
    cmp "$work/expected.cfg" "$config" || fail "the first start did not write the defaults"
    shots=$user_home/Pictures/"$clip_name Images"
    press "$main_window" ctrl+F1
    wait_until "a snapshot in ~/Pictures" test -f "$shots/IMG_00001.png"
    choose_jpg_in_options
    printf '%s\r\n' ' 1 ' "$user_home/Pictures" IMG_ ' 0 ' ' 5000 ' ' 0 ' ' 1 ' English.ini \
        >"$work/expected.cfg"
    cmp "$work/expected.cfg" "$config" || fail "Options did not save to the user's Config.cfg"
    press "$main_window" ctrl+F1
    wait_until "a JPEG snapshot" test -f "$shots/IMG_00001.jpg"
    expect_image "$shots/IMG_00001.jpg" JPEG
    [ -z "$(find "$root/usr/lib/framora" -newer "$deb" -type f)" ] ||
        fail "something was written into the program's folder"
}

declare -F "case_$case_name" >/dev/null || fail "unknown case $case_name"
"case_$case_name"
stop_all
# The copied program and the clip are large and of no further interest.
rm -rf "${app:?}" "${work:?}/$clip_name"
log "PASS: $case_name"
