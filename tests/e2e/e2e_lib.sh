# shellcheck shell=bash disable=SC2034,SC2154
# Helpers for the end-to-end tests: a private application folder, the program's
# processes, its windows on the X server, keys through xdotool, and polling with
# deadlines. Sourced by framora_e2e.sh, which sets work and bindir.

# How long any one awaited condition may take (generous: the machine may be busy), and
# the pause between two looks.
E2E_DEADLINE=${E2E_DEADLINE:-30}
E2E_POLL=${E2E_POLL:-0.1}

# The clip every test plays. Long enough that its end, which ends every capture mode,
# never comes before a test has switched a mode off itself.
clip_name=clip.mp4 clip_width=320 clip_height=240 clip_seconds=${E2E_CLIP_SECONDS:-20}

# The main window's design client area and the video area in it, in pixels at 96 DPI;
# the window's real width gives the scale.
readonly client_width=489 client_height=418
readonly stage_left=72 stage_top=8 stage_width=345 stage_height=258

started_pids=()
main_pid='' holder_pid=''

log() { printf '%s\n' "$*"; }

# Says what went wrong, leaves a picture of the screen, the windows and the program's
# output, and ends the test (the exit trap stops the program).
fail() {
    printf 'FAIL: %s\n' "$*" >&2
    if [ -d "${work:-}" ]; then
        import -window root "$work/failure.png" 2>/dev/null && echo "screen: $work/failure.png" >&2
        local f
        for f in "$work"/framora-*.err; do
            [ -s "$f" ] && printf -- '--- %s\n%s\n' "$f" "$(tail -n 20 "$f")" >&2
        done
    fi
    exit 1
}

# Running, and not merely a child that has ended and is still to be waited for.
alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [ "${state#Z}" = "$state" ]
}
ended() { ! alive "$1"; }

# wait_until <what> <command...>: runs the command until it succeeds. Fails the test when
# the deadline passes or the main program has ended meanwhile.
wait_until() {
    local what=$1 deadline=$((SECONDS + E2E_DEADLINE))
    shift
    until "$@"; do
        [ -z "$main_pid" ] || alive "$main_pid" || fail "framora ended while waiting for: $what"
        [ "$SECONDS" -lt "$deadline" ] || fail "no $what within ${E2E_DEADLINE} s"
        sleep "$E2E_POLL"
    done
}

# An application folder of the test's own: the program, its language packs, skin and
# help pages, but no Config.cfg or error log of earlier runs.
make_app_folder() {
    app=$work/app
    mkdir -p "$app"
    cp "$bindir/framora" "$bindir/Skin.skf" "$app/"
    cp -R "$bindir/Lang" "$app/"
    cp "$bindir"/*.html "$app/" 2>/dev/null || true
}

# write_config <format> <folder> <prefix> <skip prompt> <interval>: Config.cfg as the
# program writes it, eight lines with CR LF; no preview, screen saver kept off, English.
write_config() {
    printf '%s\r\n' "$1" "$2" "$3" "$4" "$5" 0 1 English.ini >"$app/Config.cfg"
}

# make_clip [name [codec options...]]: the test clip, by default $clip_name in H.264.
make_clip() {
    local name=${1:-$clip_name}
    [ $# -gt 0 ] && shift
    [ $# -gt 0 ] || set -- -c:v libx264 -preset ultrafast -pix_fmt yuv420p
    ffmpeg -hide_banner -loglevel error -y -f lavfi \
        -i "testsrc=size=${clip_width}x${clip_height}:rate=25:duration=${clip_seconds}" \
        "$@" "$work/$name" || fail "ffmpeg could not make the test clip $name"
}

# start_framora <arguments...>: starts the program from the private folder, with output
# files of its own; its id is left in started_pid.
start_framora() {
    local n=$((${#started_pids[@]} + 1))
    (cd "$work" && exec "$app/framora" "$@") >"$work/framora-$n.out" 2>"$work/framora-$n.err" &
    started_pid=$!
    started_pids+=("$started_pid")
}

# start_framora_as <user> <program> <arguments...>: as start_framora, as another user.
start_framora_as() {
    local user=$1 n=$((${#started_pids[@]} + 1))
    shift
    (cd "$work" && exec setpriv --reuid="$user" --regid=nogroup --clear-groups "$@") \
        >"$work/framora-$n.out" 2>"$work/framora-$n.err" &
    started_pid=$!
    started_pids+=("$started_pid")
}

skip() {
    echo "SKIPPED: $*"
    exit 77
}

# Ends every program started: politely first, then for certain.
stop_all() {
    local pid
    for pid in "${started_pids[@]}" $holder_pid; do
        alive "$pid" || continue
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 1 100); do
            alive "$pid" || break
            sleep 0.1
        done
        if alive "$pid"; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
        wait "$pid" 2>/dev/null || true
    done
    holder_pid=''
}

# Xvfb as xvfb-run starts it resets when its last client leaves and refuses connections
# for a moment while it does, so a test that starts right after another one could find
# no display. A client of the test's own keeps the server up from here to the end.
hold_display() {
    local out=$work/display-holder.out deadline=$((SECONDS + E2E_DEADLINE))
    while :; do
        : >"$out"
        # Prints the root window's title property as soon as it is connected.
        xprop -root -spy WM_NAME >"$out" 2>"$out.err" &
        holder_pid=$!
        while alive "$holder_pid" && [ ! -s "$out" ]; do
            sleep 0.05
        done
        alive "$holder_pid" && return 0
        wait "$holder_pid" 2>/dev/null || true
        holder_pid=''
        [ "$SECONDS" -lt "$deadline" ] || fail "cannot connect to $DISPLAY: $(cat "$out.err")"
        sleep "$E2E_POLL"
    done
}

# find_window <pid> <title regex>: the first visible window of that process with a
# matching title, printed; false when there is none.
find_window() {
    local id
    id=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -n 1)
    [ -n "$id" ] && printf '%s\n' "$id"
}
has_window() { find_window "$1" "$2" >/dev/null; }
no_window() { ! has_window "$1" "$2"; }

# await_window <pid> <title regex> <what>: waits for the window and prints its id.
await_window() {
    wait_until "$3 (window \"$2\")" has_window "$1" "$2"
    find_window "$1" "$2"
}

# Visible windows of any process whose title matches.
count_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

# press <window> <keys...>: gives the window the keyboard focus (there is no window
# manager to do it) and types the keys.
press() {
    local win=$1
    shift
    timeout 15 xdotool windowfocus --sync "$win" || fail "cannot focus window $win"
    timeout 15 xdotool key --clearmodifiers "$@" || fail "cannot type $* into window $win"
}

# window_geometry <window>: sets win_x, win_y, win_w, win_h.
window_geometry() {
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$')"
    win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
}

# stage_shot <window>: the middle of the video area into $work/stage.png. The client area
# sits below the menu bar, at the bottom of the window; a margin of a tenth of the video
# area on every side keeps the look inside it.
stage_shot() {
    local crop
    window_geometry "$1"
    crop=$(awk -v x="$win_x" -v y="$win_y" -v w="$win_w" -v h="$win_h" \
        -v cw="$client_width" -v ch="$client_height" -v sl="$stage_left" -v st="$stage_top" \
        -v sw="$stage_width" -v sh="$stage_height" 'BEGIN {
            s = w / cw; top = y + h - ch * s + st * s
            printf "%dx%d+%d+%d", sw * s * 0.8, sh * s * 0.8, x + (sl + sw * 0.1) * s, top + sh * s * 0.1
        }')
    import -window root -crop "$crop" +repage "$work/stage.png" 2>/dev/null
}

# True once two looks in a row at the middle of the video area show a moving picture:
# many colours (not the white cover nor an empty black area) that differ from the look
# before.
previous_stage_sum=''
video_moving() {
    local shot=$work/stage.png colours sum
    stage_shot "$1" || return 1
    colours=$(identify -format '%k' "$shot")
    sum=$(md5sum <"$shot")
    if [ "$colours" -ge 16 ] && [ -n "$previous_stage_sum" ] && [ "$sum" != "$previous_stage_sum" ]; then
        previous_stage_sum=''
        return 0
    fi
    previous_stage_sum=$sum
    [ "$colours" -ge 16 ] || previous_stage_sum=''
    return 1
}

# True when the middle of the video area looks the same twice, a second apart, and shows
# a picture (many colours).
video_still() {
    local first second
    previous_stage_sum=''
    video_moving "$1" && return 1
    first=$previous_stage_sum
    [ -n "$first" ] || return 1
    sleep 1
    video_moving "$1" && return 1
    second=$previous_stage_sum
    [ "$first" = "$second" ]
}

# True when the video area shows the cover (a stopped video): one plain colour.
stage_covered() {
    stage_shot "$1" && [ "$(identify -format '%k' "$work/stage.png")" -le 2 ]
}

# click_client <window> <x> <y>: a click at a point of the client area's design, in pixels.
click_client() {
    local x y
    window_geometry "$1"
    x=$(awk -v x="$win_x" -v w="$win_w" -v cw="$client_width" -v px="$2" 'BEGIN { printf "%d", x + px * w / cw }')
    y=$(awk -v y="$win_y" -v w="$win_w" -v h="$win_h" -v cw="$client_width" -v ch="$client_height" -v py="$3" \
        'BEGIN { s = w / cw; printf "%d", y + h - ch * s + py * s }')
    timeout 15 xdotool mousemove --sync "$x" "$y" click 1 || fail "cannot click at $2,$3"
}

await_video_playing() {
    previous_stage_sum=''
    wait_until "moving video in the window" video_moving "$1"
}

# count_images <folder> <extension>: the snapshot files there (files in progress are
# hidden and not counted).
count_images() {
    local n=0 f
    for f in "$1"/IMG_*."$2"; do
        [ -f "$f" ] && n=$((n + 1))
    done
    printf '%s\n' "$n"
}
images_at_least() { [ "$(count_images "$1" "$2")" -ge "$3" ]; }

# await_stable_count <folder> <extension> <seconds>: waits until the number of images
# stays the same for that long, and prints it.
await_stable_count() {
    local deadline=$((SECONDS + E2E_DEADLINE)) since=$SECONDS last count
    last=$(count_images "$1" "$2")
    while :; do
        sleep "$E2E_POLL"
        count=$(count_images "$1" "$2")
        if [ "$count" != "$last" ]; then
            last=$count since=$SECONDS
        elif [ $((SECONDS - since)) -ge "$3" ]; then
            printf '%s\n' "$count"
            return 0
        fi
        [ "$SECONDS" -lt "$deadline" ] || fail "the number of .$2 images kept growing ($count)"
    done
}

# expect_image <file> <PNG|JPEG>: a real image of that format at the clip's size.
expect_image() {
    local magic described
    [ -f "$1" ] || fail "missing image $1"
    case $2 in
    PNG) magic=89504e470d0a1a0a ;;
    JPEG) magic=ffd8ff ;;
    esac
    [ "$(head -c $((${#magic} / 2)) "$1" | od -An -tx1 | tr -d ' \n')" = "$magic" ] ||
        fail "$1 does not start like a $2 file"
    described=$(identify -format '%m %w %h' "$1" 2>&1) || fail "identify cannot read $1: $described"
    [ "$described" = "$2 $clip_width $clip_height" ] ||
        fail "$1 is '$described', expected '$2 $clip_width $clip_height'"
}
