# Helpers of tools/record-tutorials: the virtual display, the program under
# the recorder, the pointer and keyboard, captions, voice and encoding.
# shellcheck shell=bash

PIDS=()

as_root()
{
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_tools()
{
    local missing=() pair
    for pair in ffmpeg:ffmpeg xdotool:xdotool openbox:openbox espeak-ng:espeak-ng Xvfb:xvfb \
        sqlite3:sqlite3; do
        command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
    done
    [ -f "$FONT" ] || missing+=(fonts-wqy-microhei)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing ${missing[*]}"
        as_root apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

has_target()
{
    cmake --build "$BUILD" --target help 2>/dev/null | grep -q "^\.\.\. $1\$"
}

build_programs()
{
    [ -f "$BUILD/CMakeCache.txt" ] ||
        cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    local targets=(rmd lumo_widget_map lumo_install_data)
    has_target azcsh && targets+=(azcsh)
    cmake --build "$BUILD" -j2 --target "${targets[@]}"
    MAPPER=$(find "$BUILD/tools" -name 'liblumo_widget_map.so' | head -n 1)
}

cleanup()
{
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    if [ "${KEEP:-0}" = 1 ]; then echo "Work folder kept: $WORK"; else rm -rf "$WORK"; fi
}

start_display()
{
    export DISPLAY=:$DISPLAY_NUMBER
    Xvfb "$DISPLAY" -screen 0 "${WIDTH}x${HEIGHT}x24" -nolisten tcp >/dev/null 2>&1 &
    PIDS+=($!)
    local i
    for i in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break
        sleep 0.1
    done
    openbox >/dev/null 2>&1 &
    PIDS+=($!)
    sleep 1
}

# A fresh application folder with the seed database.
fresh_app()
{
    rm -rf "$WORK/app"
    mkdir -p "$WORK/app"
    cp -a "$BUILD/app/." "$WORK/app/"
    rm -f "$WORK/app/shlx/"*
    cp "$BUILD/seed/rmd.mdb" "$WORK/app/rmd.mdb"
}

# Runs a SQL text on the application folder's database (preparing a scene).
sql()
{
    sqlite3 "$WORK/app/rmd.mdb" "$1"
}

# Starts a program of the application folder on the day given.
start_program()
{
    local day=$1 program=$2
    shift 2
    rm -f "$WORK/map"
    LUMO_TODAY=$day LUMO_WIDGET_MAP=$WORK/map LD_PRELOAD=$MAPPER QT_QPA_PLATFORM=xcb \
        LANG=C.UTF-8 "$WORK/app/$program" "$@" >>"$WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
    PIDS+=($PROGRAM_PID)
}

wait_program_end()
{
    local i
    for i in $(seq 100); do
        kill -0 "$PROGRAM_PID" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$PROGRAM_PID" 2>/dev/null || true
}

# Prints "x y" of the centre of a named widget (or "name#row" of a list) in
# the window whose title contains $2; waits for it to appear.
locate()
{
    local name=$1 title=${2:-} i found
    for i in $(seq 200); do
        if [ -f "$WORK/map" ]; then
            found=$(awk -F'\t' -v n="$name" -v t="$title" \
                '$1 == n && (t == "" || index($6, t) > 0) {
                     print $2 + int($4 / 2), $3 + int($5 / 2); exit }' "$WORK/map")
            if [ -n "$found" ]; then
                echo "$found"
                return 0
            fi
        fi
        sleep 0.1
    done
    echo "record-tutorials: no widget $name in window '$title'" >&2
    return 1
}

# The whole line of the map for a widget: name x y w h title class text.
widget_line()
{
    locate "$1" "${2:-}" >/dev/null
    awk -F'\t' -v n="$1" -v t="${2:-}" '$1 == n && (t == "" || index($6, t) > 0) { print; exit }' \
        "$WORK/map"
}

# Answers a message box, if one is shown, with Enter.
answer_message()
{
    sleep 0.8
    if awk -F'\t' '$1 == "@window" && $7 == "QMessageBox" { found = 1 } END { exit !found }' \
        "$WORK/map"; then
        key Return
    fi
}

wait_window()
{
    locate @window "$1" >/dev/null
    sleep 0.5
}

# Moves the window whose title contains $1 to the top middle of the screen,
# its title bar in sight.
place_window()
{
    local line id w y i
    line=$(widget_line @window "$1")
    w=$(cut -f4 <<<"$line")
    id=$(xdotool search --onlyvisible --name "$1" | head -n 1)
    [ -n "$id" ] || return 0
    xdotool windowmove "$id" $(((WIDTH - w) / 2)) 0
    sleep 0.5
    y=$(widget_line @window "$1" | cut -f3)
    [ "$y" -lt 0 ] && xdotool windowmove "$id" $(((WIDTH - w) / 2)) $((-y))
    # Clicks must wait until the map shows the window where it now is.
    for i in $(seq 30); do
        sleep 0.2
        [ "$(widget_line @window "$1" | cut -f3)" -ge 0 ] && break
    done
    sleep 0.3
}

glide()
{
    local x=$1 y=$2 X Y i
    eval "$(xdotool getmouselocation --shell)"
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((X + (x - X) * i / 10)) $((Y + (y - Y) * i / 10))
        sleep 0.03
    done
}

point()
{
    local pos
    pos=$(locate "$1" "${2:-}")
    # shellcheck disable=SC2086
    glide $pos
    sleep 0.3
}

click()
{
    point "$@"
    xdotool click 1
    sleep 0.5
}

# Clicks a picture button after resting on it long enough to show its tool tip.
click_tip()
{
    point "$@"
    sleep 1.4
    xdotool click 1
    sleep 0.5
}

double_click()
{
    point "$@"
    xdotool click --repeat 2 --delay 90 1
    sleep 0.5
}

key()
{
    xdotool key --delay 120 "$@"
    sleep 0.3
}

# The text a widget shows, as the map gives it.
text_of()
{
    widget_line "$1" "${2:-}" | cut -f8
}

# Replaces the text of a box with $2, typed as a user would. Characters
# typed through a remapped key can get lost on a busy machine: the text is
# checked and typed again, more slowly, until the box holds it.
type_into()
{
    local name=$1 text=$2 title=${3:-} delay attempt i
    focus_on "$name" "$title"
    for attempt in 1 2 3; do
        delay=$((attempt * 120))
        xdotool key ctrl+a
        xdotool type --delay "$delay" -- "$text"
        for i in $(seq 30); do
            [ "$(text_of "$name" "$title")" = "${text:0:200}" ] && break 2
            sleep 0.2
        done
        echo "record-tutorials: retyping into $name" >&2
        focus_on "$name" "$title"
    done
    sleep 0.4
}

# Clicks a box and waits until it has the keyboard focus: keys typed before
# the program has handled the click would land in the box left behind.
focus_on()
{
    local attempt i
    for attempt in 1 2 3; do
        [ "$attempt" = 1 ] || answer_message
        click "$1" "${2:-}"
        for i in $(seq 20); do
            awk -F'\t' -v n="$1" '$1 == "@focus" { split($8, f, " "); found = f[1] == n || f[2] == n }
                END { exit !found }' "$WORK/map" && return 0
            sleep 0.1
        done
    done
    echo "record-tutorials: $1 does not take the focus" >&2
}

# Picks a date in the calendar of a date picker: opens it by its arrow,
# presses the keys given (Next: a month on, Right: a day on) and Return.
pick_date()
{
    local picker=$1 title=$2 line x y w h
    shift 2
    line=$(widget_line "$picker" "$title")
    x=$(cut -f2 <<<"$line") y=$(cut -f3 <<<"$line") w=$(cut -f4 <<<"$line") h=$(cut -f5 <<<"$line")
    glide $((x + w - 9)) $((y + h / 2))
    sleep 0.3
    xdotool click 1
    sleep 1
    local k
    for k in "$@"; do
        xdotool key "$k"
        sleep 0.35
    done
    sleep 0.5
    key Return
}

login()
{
    wait_window 登录信息
    type_into Text1 "$PASSWORD" 登录信息
    key Return
}

# --- recording --------------------------------------------------------------

now()
{
    awk -v t0="$T0" -v t="$(date +%s.%N)" 'BEGIN { printf "%.2f", t - t0 }'
}

caption()
{
    printf '%s\t%s\n' "$(now)" "$1" >>"$WORK/captions.tsv"
}

# Speaks $1 in English into the recording's sound track from now on.
voice()
{
    local file
    [ -n "$1" ] || return 0
    file=$WORK/voice$(wc -l <"$WORK/voices.tsv").wav
    espeak-ng -v en-us -s 130 -w "$file" "$1"
    printf '%s\t%s\n' "$(now)" "$file" >>"$WORK/voices.tsv"
}

start_recording()
{
    : >"$WORK/captions.tsv"
    : >"$WORK/voices.tsv"
    T0=$(date +%s.%N)
    ffmpeg -loglevel error -f x11grab -framerate "$FPS" -video_size "${WIDTH}x${HEIGHT}" \
        -draw_mouse 1 -i "$DISPLAY" -c:v libx264 -preset ultrafast -crf 12 -pix_fmt yuv420p \
        -y "$WORK/raw.mkv" </dev/null &
    RECORDER_PID=$!
    PIDS+=($RECORDER_PID)
    sleep 0.4
}

stop_recording()
{
    sleep 1.5
    kill -INT "$RECORDER_PID"
    wait "$RECORDER_PID" || true
}

# Writes the filter graph: the screen over a caption band, each caption
# shown until the next one starts; the voices delayed to their moments.
write_filters()
{
    local filters=$WORK/filters.txt i=0 start text end
    local -a starts texts
    while IFS=$'\t' read -r start text; do
        starts+=("$start")
        texts+=("$text")
    done <"$WORK/captions.tsv"
    printf '[0:v]pad=%d:%d:0:0:color=0x1e2a38' "$WIDTH" $((HEIGHT + BAND)) >"$filters"
    for i in "${!starts[@]}"; do
        end=${starts[$((i + 1))]:-100000}
        printf '%s' "${texts[$i]}" >"$WORK/caption$i.txt"
        printf ",drawtext=fontfile=%s:textfile=%s:fontsize=28:fontcolor=white:x=(w-text_w)/2:y=%d+(%d-text_h)/2:enable='gte(t,%s)*lt(t,%s)'" \
            "$FONT" "$WORK/caption$i.txt" "$HEIGHT" "$BAND" "${starts[$i]}" "$end" >>"$filters"
    done
    printf '[v]' >>"$filters"
    local count
    count=$(wc -l <"$WORK/voices.tsv")
    if [ "$count" -gt 0 ]; then
        i=1
        local labels=""
        while IFS=$'\t' read -r start _; do
            printf ';[%d:a]adelay=%d:all=1[a%d]' "$i" "$(awk -v s="$start" 'BEGIN { printf "%d", s * 1000 }')" "$i" >>"$filters"
            labels+="[a$i]"
            i=$((i + 1))
        done <"$WORK/voices.tsv"
        # Silence to the end of the picture; an endless pad would never end.
        printf ';%samix=inputs=%d:normalize=0,apad=whole_dur=%s[a]' "$labels" "$count" \
            "$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$WORK/raw.mkv")" \
            >>"$filters"
    fi
}

encode()
{
    local n=$1 target=$OUT/lx$1.webm
    write_filters
    local -a inputs=(-i "$WORK/raw.mkv") maps=(-map '[v]')
    local file
    while IFS=$'\t' read -r _ file; do inputs+=(-i "$file"); done <"$WORK/voices.tsv"
    [ -s "$WORK/voices.tsv" ] && maps+=(-map '[a]' -c:a libopus -b:a 48k)
    nice -n 5 ffmpeg -loglevel error "${inputs[@]}" -filter_complex_script "$WORK/filters.txt" \
        "${maps[@]}" -c:v libvpx-vp9 -crf 40 -b:v 0 -deadline good -cpu-used 5 -row-mt 1 \
        -g 50 -r "$FPS" -y "$target"
    echo "lx$n.webm: $(du -k "$target" | cut -f1) kB, $(ffprobe -v error -show_entries \
        format=duration -of csv=p=0 "$target") s"
}

# Runs scene N (function tutorial<N>) and encodes it.
record()
{
    local n=$1
    echo "Recording tutorial $n"
    : >"$WORK/program.log"
    fresh_app
    "tutorial$n"
    stop_recording
    kill "$PROGRAM_PID" 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
    encode "$n"
}
