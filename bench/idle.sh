#!/usr/bin/env bash
# Measures what the tray program costs at rest against the floor of a program of its kind
# (bench/minimal: a hidden widget, a tray icon and a one-second timer), built and measured in the
# same run on a private Xvfb server, each start in a private temporary home:
#   - the time from start to a window on screen, the median of five starts each;
#   - the private memory (USS), PSS and resident memory (RSS) of both, started hidden
#     ("showMini"); after the tray program's frame, each page, the drink pop-up, the rest prompt
#     and the full-screen rest, and the floor's widget, have been shown and closed; and with the
#     frame, and the floor's widget with its line of text, on screen;
#   - the CPU time each uses over 60 s at rest;
#   - the peak resident memory of the updater and of the sound player.
# This is a report, not a test: it exits 0 whatever the figures, and 1 only when something could
# not be measured.
#
# Usage: bench/idle.sh [PATH_OF_QzHealthManager]
# The default path is ~/.local/bin/QzHealthManager, which scripts/run.sh installs: run
# scripts/run.sh once first, or pass the program of a build, e.g.
#   bench/idle.sh build/lib/QzHealthManager/QzHealthManager
# The updater and the sound player are taken from beside the tray program. A run takes about
# seven minutes: the reminders cannot come sooner than five minutes after a start.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
tray_program="$(readlink -f "${1:-$HOME/.local/bin/QzHealthManager}")"
program_folder="$(dirname "$tray_program")"
updater_program="$program_folder/QzLiveUpdate"
player_program="$program_folder/QzHealthSpeek"
sound_file="$program_folder/../../share/QzHealthManager/qzhealthaudio/drinkprompt.spx"

# Seconds after the start at which the resting figures are read.
settle_s=20
cpu_window_s=60
# Every start of the tray program pauses this long before it looks for a running copy.
startup_pause_ms=1000
# The shortest reminder interval the program keeps; the pop-ups come this long after a start.
reminder_s=300
# How long a program may take to show a window before the run gives up.
window_timeout_s=30
# How long a window may take to appear or go once it was asked to.
step_timeout_s=15
# How often a window is looked for; each look also costs xwininfo's own few milliseconds.
poll_ms=20
# Time for the program to settle after a step before its memory is read.
after_step_s=5
memory_target=1.5
cpu_target=1.5
window_target=1.5

fail() {
    echo "idle.sh: $*" >&2
    exit 1
}

[ -x "$tray_program" ] || fail "no program at $tray_program: run scripts/run.sh once, or pass the path of a build"
[ -x "$updater_program" ] || fail "no updater at $updater_program"
[ -x "$player_program" ] || fail "no sound player at $player_program"
[ -r "$sound_file" ] || fail "no prompt sound at $sound_file"
for tool in Xvfb:xvfb xwininfo:x11-utils xdotool:xdotool cmake:cmake; do
    command -v "${tool%%:*}" >/dev/null || fail "${tool%%:*} is missing (Debian package: ${tool#*:})"
done
[ -x /usr/bin/time ] || fail "/usr/bin/time is missing (Debian package: time)"
[ -r /proc/self/schedstat ] || fail "/proc/PID/schedstat is not readable (a kernel without scheduler statistics)"

seconds() {
    awk -v ms="$1" 'BEGIN {printf "%.3f", ms / 1000}'
}
poll_s="$(seconds "$poll_ms")"

work="$(mktemp -d)"
xvfb_pid=""
# Every program this script started and has not ended yet.
running=()
cleanup() {
    local pid
    for pid in "${running[@]}"; do
        stop_process "$pid"
    done
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

stop_process() {
    local pid="$1" kept=() other
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for other in "${running[@]}"; do
        [ "$other" = "$pid" ] || kept+=("$other")
    done
    running=("${kept[@]+"${kept[@]}"}")
}

echo "Building bench/minimal"
if ! { cmake -S "$here/minimal" -B "$work/minimal" && cmake --build "$work/minimal"; } >"$work/minimal-build.log" 2>&1; then
    tail -n 20 "$work/minimal-build.log" >&2
    fail "bench/minimal did not build"
fi
minimal_program="$work/minimal/MinimalQt"

# -displayfd lets the server pick a free display number and tell it once it is ready.
Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY QT_QPA_PLATFORM=xcb

# A home of its own for each start, so that nothing of the user's or of an earlier start
# (settings, the single-instance channel, autostart entries) changes what a program does.
# Sets home to its folder and environment to the variables to run a program with.
homes=0
new_home() {
    homes=$((homes + 1))
    home="$work/home-$homes"
    mkdir -p "$home/data" "$home/config" "$home/runtime"
    chmod 0700 "$home/runtime"
    environment="HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime"
}

# Every reminder and the eye protection on, at the interval given in minutes, the full-screen
# rest opening 3 s after its prompt, and the first-start tip already seen, so that the tray
# program works as it does every day and no dialog stops it.
write_tray_settings() {
    local data="$1" minutes="$2"
    mkdir -p "$data/QzHealthManager"
    cat >"$data/QzHealthManager/QzConfig.ini" <<EOF
[boot]
boottips_timestamp=1
[drinks]
status=2
settings_timer_hour=$((minutes / 60))
settings_timer_minute=$((minutes % 60))
drinkprompt=2
drinkwater=2
target=2000
timetarget=200
[relax]
status=2
full_status=2
settings_timer_hour=$((minutes / 60))
settings_timer_minute=$((minutes % 60))
settings_fullscreen_second=3
relaxprompt=2
[eyeshield]
status=2
mode=1
EOF
}

# Starts a program in the background in the home given by new_home; sets started_pid. Its
# standard input is the file named by the variable input, or nothing.
start_in() {
    local environment="$1" log="$2"
    shift 2
    # shellcheck disable=SC2086 # the variables are split into words on purpose
    env $environment "$@" <"${input:-/dev/null}" >"$log" 2>&1 &
    started_pid=$!
    running+=("$started_pid")
}

# The ids of the mapped and viewable windows of that exact title.
viewable_windows() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\":" 'index($0, name) {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" && echo "$id"
    done
    return 0
}

viewable() {
    [ -n "$(viewable_windows "$1")" ]
}

now_ms() {
    # The decimal sign of EPOCHREALTIME follows the locale.
    local t="$EPOCHREALTIME"
    echo $((${t%[.,]*} * 1000 + 10#${t#*[.,]} / 1000))
}

sleep_until_ms() {
    local left=$(($1 - $(now_ms)))
    [ "$left" -le 0 ] || sleep "$(seconds "$left")"
}

alive_or_fail() {
    kill -0 "$1" 2>/dev/null && return 0
    tail -n 20 "$3" >&2
    fail "$2 ended before it could be measured"
}

# Waits until a window of that title is on screen (or, with "gone", no longer is).
wait_window() {
    local pid="$1" label="$2" log="$3" title="$4" state="${5:-shown}" deadline
    deadline=$(($(now_ms) + ${6:-$step_timeout_s} * 1000))
    while true; do
        if viewable "$title"; then [ "$state" = shown ] && return 0; else [ "$state" = gone ] && return 0; fi
        alive_or_fail "$pid" "$label" "$log"
        [ "$(now_ms)" -lt "$deadline" ] || fail "$label: the window \"$title\" was not $state in time"
        sleep "$poll_s"
    done
}

# The CPU time of every thread of a process so far, one "thread-id microseconds" line each, from
# the scheduler's nanosecond account: utime and stime are counted in whole clock ticks, too coarse
# for programs that use a few milliseconds a minute.
thread_cpu_us() {
    local task run_ns
    for task in /proc/"$1"/task/*; do
        read -r run_ns _ <"$task/schedstat" 2>/dev/null && echo "${task##*/} $((run_ns / 1000))"
    done
    return 0
}

# The CPU ms (one decimal) between two thread_cpu_us snapshots: a thread in both counts its
# difference, one started in between all of its time. One that ended in between is left out
# with the little it did in the window (the thread pool lets its idle threads go).
cpu_ms_between() {
    awk 'NR == FNR {before[$1] = $2; next}
         {used += $2 - ($1 in before ? before[$1] : 0)}
         END {printf "%.1f", used / 1000}' "$1" "$2"
}

# Prints the KiB figure of a key in a /proc/PID file such as status.
proc_kib() {
    awk -v key="$3:" '$1 == key {print $2; found = 1} END {exit !found}' "/proc/$1/$2"
}

# Prints "USS PSS RSS DIRTY" in KiB of a running process. USS counts the pages no other process
# maps (Private_Clean + Private_Dirty): what the process alone costs. PSS adds its share of the
# pages it shares. RSS counts every page it maps, shared library pages whole. DIRTY is the part of
# USS the process wrote (Private_Dirty), which neither other programs nor the kernel's reclaim of
# clean file pages change.
memory_kib() {
    awk '$1 == "Rss:" {rss = $2} $1 == "Pss:" {pss = $2} $1 == "Private_Dirty:" {dirty = $2}
         $1 == "Private_Clean:" || $1 == "Private_Dirty:" {uss += $2}
         END {if (rss == "") exit 1; print uss, pss, rss, dirty}' "/proc/$1/smaps_rollup"
}

# Start to window: one start, timed until its window is viewable; prints the milliseconds.
time_start() {
    local label="$1" title="$2" log start pid
    shift 2
    new_home
    [ "$label" != QzHealthManager ] || write_tray_settings "$home/data" 60
    log="$work/start-$homes.log"
    start="$(now_ms)"
    start_in "$environment" "$log" "$@"
    pid="$started_pid"
    wait_window "$pid" "$label" "$log" "$title" shown "$window_timeout_s"
    echo $(($(now_ms) - start)) >"$work/window-ms"
    stop_process "$pid"
}

median() {
    printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"
}

# One start is at the mercy of whatever else the machine does, and the first one of each also
# pays for a cold page cache, so the start is taken as the median of several, the two programs
# taking turns so that both meet the same conditions.
starts=5
echo "Timing $starts starts of each program on $DISPLAY"
tray_windows=()
floor_windows=()
for _ in $(seq "$starts"); do
    time_start QzHealthManager Rezovuvove "$tray_program"
    tray_windows+=("$(cat "$work/window-ms")")
    time_start MinimalQt MinimalQt "$minimal_program" show
    floor_windows+=("$(cat "$work/window-ms")")
done
tray_window_ms="$(median "${tray_windows[@]}")"
floor_window_ms="$(median "${floor_windows[@]}")"

# One tray program and one floor, started hidden side by side, each the only copy of itself
# running (a second copy would share its pages and seem to cost less): their memory after
# settle_s and their CPU time over the next cpu_window_s at rest, then the tour of every window.
# The tray program's reminders are due after the shortest interval; everything else is driven
# through its own wake-up and the mouse. The floor is told by lines on its input.
echo "Measuring both programs at rest ($((settle_s + cpu_window_s)) s), then showing every window (about $((reminder_s / 60 + 1)) minutes in all)"
new_home
mkfifo "$work/floor-commands"
# Held open for writing by this script, so that the floor does not read the end of its input.
exec {floor_commands}<>"$work/floor-commands"
floor_log="$work/floor.log"
input="$work/floor-commands" start_in "$environment" "$floor_log" "$minimal_program" commands
floor_pid="$started_pid"
new_home
tray_environment="$environment"
write_tray_settings "$home/data" $((reminder_s / 60))
tray_log="$work/tour.log"
tray_start="$(now_ms)"
start_in "$tray_environment" "$tray_log" "$tray_program" showMini
tray_pid="$started_pid"

sleep_until_ms $((tray_start + settle_s * 1000))
alive_or_fail "$floor_pid" MinimalQt "$floor_log"
alive_or_fail "$tray_pid" QzHealthManager "$tray_log"
figures="$(memory_kib "$floor_pid")" || fail "could not read the memory of MinimalQt"
read -r floor_hidden_uss floor_hidden_pss floor_hidden_rss floor_hidden_dirty <<<"$figures"
figures="$(memory_kib "$tray_pid")" || fail "could not read the memory of QzHealthManager"
read -r hidden_uss hidden_pss hidden_rss hidden_dirty <<<"$figures"
thread_cpu_us "$floor_pid" >"$work/floor-cpu-before"
thread_cpu_us "$tray_pid" >"$work/tray-cpu-before"
sleep_until_ms $((tray_start + (settle_s + cpu_window_s) * 1000))
alive_or_fail "$floor_pid" MinimalQt "$floor_log"
alive_or_fail "$tray_pid" QzHealthManager "$tray_log"
thread_cpu_us "$floor_pid" >"$work/floor-cpu-after"
thread_cpu_us "$tray_pid" >"$work/tray-cpu-after"
floor_cpu="$(cpu_ms_between "$work/floor-cpu-before" "$work/floor-cpu-after")"
tray_cpu="$(cpu_ms_between "$work/tray-cpu-before" "$work/tray-cpu-after")"

# The tour. Positions are in the frame's own coordinates: a 5 px margin, the 80 px advertisement
# strip and the 32 px head bar above the pages. The home page's feature buttons turn into cards
# with their own buttons while the pointer is over them.
frame_click() {
    xdotool mousemove --window "$frame_id" "$1" "$2" click 1
    sleep 0.5
}
frame_hover() {
    xdotool mousemove --window "$frame_id" "$1" "$2"
    sleep 0.5
}
back_home() {
    frame_click 45 101
    xdotool mousemove 1270 790
    sleep 0.5
}
# Presses Esc in every window of that title, which closes each of the program's pop-ups.
escape_windows() {
    local id
    for id in $(viewable_windows "$1"); do
        xdotool windowfocus --sync "$id" key Escape
    done
    wait_window "$tray_pid" QzHealthManager "$tray_log" "$1" gone
}
floor_window() {
    echo "$1" >&"$floor_commands"
    wait_window "$floor_pid" MinimalQt "$floor_log" MinimalQt "$2"
}
wake_frame() {
    # shellcheck disable=SC2086 # the variables are split into words on purpose
    env $tray_environment "$tray_program" >>"$work/wake.log" 2>&1 || fail "the wake-up start failed"
    wait_window "$tray_pid" QzHealthManager "$tray_log" Rezovuvove
}

# Reminders wait while the user is away (two minutes without input), so the pointer moves now
# and then, as a user at the desk would.
nudge=0
while [ "$(now_ms)" -lt $((tray_start + (reminder_s + 1) * 1000)) ]; do
    nudge=$((1 - nudge))
    xdotool mousemove $((1260 + nudge)) 790
    sleep 20
done
wait_window "$tray_pid" QzHealthManager "$tray_log" "喝水提醒" shown 30
wait_window "$tray_pid" QzHealthManager "$tray_log" "休息提醒提示" shown 30
# The rest prompt opens the full-screen rest by itself after its countdown.
wait_window "$tray_pid" QzHealthManager "$tray_log" "全屏展示" shown 30
sleep 1
escape_windows "全屏展示"
escape_windows "喝水提醒"

wake_frame
frame_id="$(viewable_windows Rezovuvove | head -n 1)"
sleep 1
for page in "185 233 165 241" "185 233 214 241" "185 233 190 269" "85 298 85 312" "169 353 169 364"; do
    read -r hover_x hover_y click_x click_y <<<"$page"
    frame_hover "$hover_x" "$hover_y"
    frame_click "$click_x" "$click_y"
    back_home
done
frame_click 269 101
wait_window "$tray_pid" QzHealthManager "$tray_log" Rezovuvove gone
# The floor's widget comes and goes once the frame has closed: a window that comes up takes the
# keyboard, and the frame closes only while it has it.
floor_window show shown
floor_window hide gone
sleep "$after_step_s"
# Nothing may have come back in between: the next reminders are an interval away.
for title in Rezovuvove "喝水提醒" "休息提醒提示" "全屏展示"; do
    ! viewable "$title" || fail "the window \"$title\" was still on screen after the tour"
done
figures="$(memory_kib "$tray_pid")" || fail "could not read the memory of QzHealthManager"
read -r closed_uss closed_pss closed_rss closed_dirty <<<"$figures"
figures="$(memory_kib "$floor_pid")" || fail "could not read the memory of MinimalQt"
read -r floor_closed_uss floor_closed_pss floor_closed_rss floor_closed_dirty <<<"$figures"
wake_frame
floor_window show shown
sleep "$after_step_s"
figures="$(memory_kib "$tray_pid")" || fail "could not read the memory of QzHealthManager"
read -r shown_uss shown_pss shown_rss shown_dirty <<<"$figures"
figures="$(memory_kib "$floor_pid")" || fail "could not read the memory of MinimalQt"
read -r floor_shown_uss floor_shown_pss floor_shown_rss floor_shown_dirty <<<"$figures"
stop_process "$tray_pid"
stop_process "$floor_pid"

# The updater: its window, then the update check it runs two seconds later (with no service
# configured it fails at once). The peak is VmHWM, read just before it is ended.
echo "Measuring the updater and the sound player"
new_home
start_in "$environment" "$work/updater.log" "$updater_program" QzHealthManager 4.0.0.0 1
updater_pid="$started_pid"
wait_window "$updater_pid" QzLiveUpdate "$work/updater.log" "检查更新" shown "$window_timeout_s"
sleep "$after_step_s"
updater_peak="$(proc_kib "$updater_pid" status VmHWM)" || fail "could not read the memory of the updater"
stop_process "$updater_pid"

# The sound player writes its samples into a file through an ALSA configuration of its home.
new_home
printf 'pcm.!default {\n type file\n slave.pcm "null"\n file "%s"\n format "raw"\n}\n' "$home/played.raw" \
    >"$home/.asoundrc"
# shellcheck disable=SC2086 # the variables are split into words on purpose
env $environment /usr/bin/time -f %M -o "$work/player-peak" "$player_program" "$sound_file" \
    >"$work/player.log" 2>&1 || { tail -n 20 "$work/player.log" >&2; fail "the sound player failed"; }
player_peak="$(tail -n 1 "$work/player-peak")"

echo
printf '%-36s %12s %12s %8s %8s\n' "figure" QzHealthManager "floor" ratio target
verdicts=0
# A figure below 1 counts as 1 in the ratio, so that a floor idle to the last microsecond cannot
# make any figure of the tray program infinite.
line() {
    local what="$1" tray="$2" floor="$3" target="$4" verdict
    verdict="$(awk -v tray="$tray" -v floor="$floor" -v target="$target" 'BEGIN {
        if (floor < 1) floor = 1
        if (tray < 1) tray = 1
        ratio = tray / floor
        printf "%6.2fx  <= %.1fx  %s", ratio, target, ratio <= target ? "PASS" : "FAIL"
    }')"
    printf '%-36s %12s %12s %s\n' "$what" "$2" "$3" "$verdict"
    [[ "$verdict" == *PASS ]] || verdicts=1
}
# A figure given for comparison only, with its ratio and no target.
report() {
    printf '%-36s %12s %12s %s\n' "$1" "$2" "$3" \
        "$(awk -v tray="$2" -v floor="$3" 'BEGIN {printf "%6.2fx", tray / (floor < 1 ? 1 : floor)}')"
}
line "private KiB (USS), started hidden" "$hidden_uss" "$floor_hidden_uss" "$memory_target"
line "private KiB (USS), all shown+closed" "$closed_uss" "$floor_closed_uss" "$memory_target"
line "private KiB (USS), frame on screen" "$shown_uss" "$floor_shown_uss" "$memory_target"
report "  of which dirty, started hidden" "$hidden_dirty" "$floor_hidden_dirty"
report "  of which dirty, all shown+closed" "$closed_dirty" "$floor_closed_dirty"
report "  of which dirty, frame on screen" "$shown_dirty" "$floor_shown_dirty"
line "CPU ms / ${cpu_window_s} s at rest" "$tray_cpu" "$floor_cpu" "$cpu_target"
line "start-to-window ms, less the pause" "$((tray_window_ms - startup_pause_ms))" "$floor_window_ms" "$window_target"
report "PSS KiB, started hidden" "$hidden_pss" "$floor_hidden_pss"
report "PSS KiB, all shown+closed" "$closed_pss" "$floor_closed_pss"
report "PSS KiB, frame on screen" "$shown_pss" "$floor_shown_pss"
report "RSS KiB, started hidden" "$hidden_rss" "$floor_hidden_rss"
report "RSS KiB, all shown+closed" "$closed_rss" "$floor_closed_rss"
report "RSS KiB, frame on screen" "$shown_rss" "$floor_shown_rss"
report "start-to-window ms, whole" "$tray_window_ms" "$floor_window_ms"
echo
printf '%-36s %12s\n' "QzLiveUpdate peak RSS KiB" "$updater_peak"
printf '%-36s %12s\n' "QzHealthSpeek peak RSS KiB" "$player_peak"
echo
echo "Start-to-window is the median of $starts starts (tray: ${tray_windows[*]}; floor: ${floor_windows[*]}),"
echo "each good to one look every ${poll_ms} ms plus the look itself."
[ "$verdicts" -eq 0 ] && echo "Every target met." || echo "Some target missed."
