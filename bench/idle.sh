#!/usr/bin/env bash
# Measures what the tray program costs at rest against the smallest Qt program that does the same
# kind of thing (bench/minimal: a window, a tray icon, a one-second timer): the time from start to
# its window being mapped (the median of five starts), its resident memory 20 s after a start, and
# the CPU time it uses over the next 60 s. Both run on a private Xvfb server with a private temporary home. This is a report, not a
# test: it exits 0 whatever the figures, and 1 only when something could not be measured.
#
# Usage: bench/idle.sh [PATH_OF_QzHealthManager]
# The default path is ~/.local/bin/QzHealthManager, which scripts/run.sh installs: run
# scripts/run.sh once first, or pass the program of a build, e.g.
#   bench/idle.sh build/lib/QzHealthManager/QzHealthManager
# A run takes about three minutes.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
tray_program="${1:-$HOME/.local/bin/QzHealthManager}"

# Seconds after the start at which the figures are read.
settle_s=20
cpu_window_s=60
# How long a program may take to show its window before the run gives up.
window_timeout_s=30
# How often the window is looked for; each look also costs xwininfo's own few milliseconds.
poll_ms=20
target_ratio=1.5

fail() {
    echo "idle.sh: $*" >&2
    exit 1
}

[ -x "$tray_program" ] || fail "no program at $tray_program: run scripts/run.sh once, or pass the path of a build"
command -v Xvfb >/dev/null || fail "Xvfb is missing (Debian package: xvfb)"
command -v xwininfo >/dev/null || fail "xwininfo is missing (Debian package: x11-utils)"
command -v cmake >/dev/null || fail "cmake is missing (Debian package: cmake)"
[ -r /proc/self/stat ] || fail "/proc is not readable"
ticks_per_s="$(getconf CLK_TCK)"

seconds() {
    awk -v ms="$1" 'BEGIN {printf "%.3f", ms / 1000}'
}
poll_s="$(seconds "$poll_ms")"

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
cleanup() {
    stop_program
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}

stop_program() {
    [ -n "$program_pid" ] || return 0
    kill "$program_pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}
trap cleanup EXIT

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
export DISPLAY

# Gives a program a fresh home of its own, so that nothing of the user's or of an earlier run
# (settings, the single-instance channel, autostart entries) changes what it does.
new_home() {
    local home="$work/home-$1"
    mkdir -p "$home/data" "$home/config" "$home/runtime"
    chmod 0700 "$home/runtime"
    export HOME="$home"
    export XDG_DATA_HOME="$home/data"
    export XDG_CONFIG_HOME="$home/config"
    export XDG_RUNTIME_DIR="$home/runtime"
}

# Every reminder and the eye protection on, and the first-start tip already seen, so that the
# tray program works as it does every day and no dialog stops it.
write_tray_settings() {
    mkdir -p "$XDG_DATA_HOME/QzHealthManager"
    cat >"$XDG_DATA_HOME/QzHealthManager/QzConfig.ini" <<'EOF'
[boot]
boottips_timestamp=1
[drinks]
status=2
settings_timer_hour=1
settings_timer_minute=0
drinkprompt=2
drinkwater=2
target=2000
timetarget=200
[relax]
status=2
full_status=2
settings_timer_hour=1
settings_timer_minute=0
relaxprompt=2
[eyeshield]
status=2
mode=1
EOF
}

# True when a window of that name is mapped and viewable. Every window of the name is looked at,
# since a program may hold hidden ones of the same name beside the one it shows.
viewable() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\":" 'index($0, name) {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" && return 0
    done
    return 1
}

now_ms() {
    # The decimal sign of EPOCHREALTIME follows the locale.
    local t="$EPOCHREALTIME"
    echo $((${t%[.,]*} * 1000 + 10#${t#*[.,]} / 1000))
}

cpu_ms() {
    local stat fields
    stat="$(cat "/proc/$1/stat")" || return 1
    # The name in brackets may hold spaces, so the fields are counted after its closing bracket:
    # utime and stime, the 14th and 15th fields of the whole line, are the 12th and 13th there.
    read -ra fields <<<"${stat##*) }"
    echo $(((fields[11] + fields[12]) * 1000 / ticks_per_s))
}

# Prints the KiB figure of a key in a /proc/PID file such as status or smaps_rollup.
proc_kib() {
    awk -v key="$3:" '$1 == key {print $2; found = 1} END {exit !found}' "/proc/$1/$2"
}

sleep_until_ms() {
    local left=$(($1 - $(now_ms)))
    [ "$left" -le 0 ] || sleep "$(seconds "$left")"
}

alive_or_fail() {
    kill -0 "$program_pid" 2>/dev/null && return 0
    tail -n 20 "$2" >&2
    fail "$1 ended before it could be measured"
}

homes=0
fresh_home() {
    homes=$((homes + 1))
    new_home "$homes"
    [ "$1" != QzHealthManager ] || write_tray_settings
}

# Starts the program in a fresh home and waits for its window: sets launch_start to the time of
# the start and window_ms to how long the window took.
launch() {
    local label="$1" program="$2" title="$3" deadline
    fresh_home "$label"
    launch_log="$HOME/output.log"
    launch_start="$(now_ms)"
    "$program" >"$launch_log" 2>&1 &
    program_pid=$!
    deadline=$((launch_start + window_timeout_s * 1000))
    until viewable "$title"; do
        alive_or_fail "$label" "$launch_log"
        if [ "$(now_ms)" -ge "$deadline" ]; then
            tail -n 20 "$launch_log" >&2
            fail "$label showed no window titled $title within $window_timeout_s s"
        fi
        sleep "$poll_s"
    done
    window_ms=$(($(now_ms) - launch_start))
}

labels=(QzHealthManager MinimalQt)
declare -A program=([QzHealthManager]="$tray_program" [MinimalQt]="$minimal_program")
declare -A title=([QzHealthManager]=Rezovuvove [MinimalQt]=MinimalQt)
declare -A window rss pss cpu

# One start is at the mercy of whatever else the machine does, and the first one of each also
# pays for a cold page cache, so the start is taken as the median of several, the two programs
# taking turns so that both meet the same conditions.
starts=5
echo "Timing $starts starts of each program on $DISPLAY"
declare -A samples
for _ in $(seq "$starts"); do
    for label in "${labels[@]}"; do
        launch "$label" "${program[$label]}" "${title[$label]}"
        samples[$label]+="$window_ms "
        stop_program
    done
done
for label in "${labels[@]}"; do
    # shellcheck disable=SC2086 # the samples are split into one number a line on purpose
    window[$label]="$(printf '%s\n' ${samples[$label]} | sort -n | sed -n "$(((starts + 1) / 2))p")"
done

for label in "${labels[@]}"; do
    echo "Measuring $label at rest ($((settle_s + cpu_window_s)) s)"
    launch "$label" "${program[$label]}" "${title[$label]}"
    sleep_until_ms $((launch_start + settle_s * 1000))
    alive_or_fail "$label" "$launch_log"
    rss[$label]="$(proc_kib "$program_pid" status VmRSS)" || fail "could not read the memory of $label"
    pss[$label]="$(proc_kib "$program_pid" smaps_rollup Pss 2>/dev/null)" || pss[$label]="n/a"
    cpu_start="$(cpu_ms "$program_pid")" || fail "could not read the CPU time of $label"
    sleep_until_ms $((launch_start + (settle_s + cpu_window_s) * 1000))
    alive_or_fail "$label" "$launch_log"
    cpu_end="$(cpu_ms "$program_pid")" || fail "could not read the CPU time of $label"
    cpu[$label]=$((cpu_end - cpu_start))
    stop_program
done

echo
printf '%-16s %20s %10s %10s %16s\n' program "start-to-window ms" "RSS KiB" "PSS KiB" "CPU ms / ${cpu_window_s} s"
for label in "${labels[@]}"; do
    printf '%-16s %20s %10s %10s %16s\n' "$label" "${window[$label]}" "${rss[$label]}" "${pss[$label]}" "${cpu[$label]}"
done
echo

# CPU time is counted in whole clock ticks, so a figure below one tick counts as one tick in the
# ratio: otherwise an idle baseline of 0 ms would make any figure of the tray program infinite.
tick_ms=$((1000 / ticks_per_s))
ratio_line() {
    awk -v what="$1" -v tray="$2" -v minimal="$3" -v floor="$4" -v target="$target_ratio" 'BEGIN {
        if (minimal < floor) minimal = floor
        if (tray < floor) tray = floor
        ratio = tray / minimal
        printf "%-16s %6.2fx  (target <= %.1fx)  %s\n", what, ratio, target, ratio <= target ? "PASS" : "FAIL"
    }'
}
echo "tray / minimal"
ratio_line "start-to-window" "${window[QzHealthManager]}" "${window[MinimalQt]}" 1
ratio_line "RSS" "${rss[QzHealthManager]}" "${rss[MinimalQt]}" 1
ratio_line "CPU" "${cpu[QzHealthManager]}" "${cpu[MinimalQt]}" "$tick_ms"
echo
echo "Start-to-window is the median of $starts starts, each good to one look every ${poll_ms} ms"
echo "plus the look itself (xwininfo, about 10 ms); CPU time is counted in ${tick_ms} ms ticks."
