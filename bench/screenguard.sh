#!/bin/bash
# What the screen guard costs while it waits for the tray program: its resident memory, and the CPU
# time it takes over a minute (it sleeps in read(), so that should be none). A report, not a test.
#
#   bench/screenguard.sh [path/to/QzScreenGuard] [seconds]
set -euo pipefail

guard="${1:-build/lib/QzHealthManager/QzScreenGuard}"
seconds="${2:-60}"
[ -x "$guard" ] || { echo "no screen guard at $guard (build the QzScreenGuard target)" >&2; exit 1; }

work="$(mktemp -d)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The guard's standard input stands for the tray program's socket: while this script holds the
# writing end open, the guard waits; closing it is the program's end.
mkfifo "$work/program"
"$guard" "$work/record" <"$work/program" &
pid=$!
exec 3>"$work/program"
sleep 1

cpu_ticks() {
    # utime and stime, fields 14 and 15 (the name in field 2 has no spaces here).
    awk '{ print $14 + $15 }' "/proc/$pid/stat"
}
rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"
}

ticks_per_second="$(getconf CLK_TCK)"
start_ticks="$(cpu_ticks)"
rss="$(rss_kib)"
sleep "$seconds"
kill -0 "$pid" 2>/dev/null || { echo "the guard ended while it should wait" >&2; exit 1; }
end_ticks="$(cpu_ticks)"
rss_end="$(rss_kib)"

# The program's end: the guard finds no record to restore and ends.
exec 3>&-
wait "$pid"
pid=""

cpu_ms=$(( (end_ticks - start_ticks) * 1000 / ticks_per_second ))
echo "QzScreenGuard RSS KiB (waiting)      $rss (after ${seconds} s: $rss_end)"
echo "QzScreenGuard CPU ms over ${seconds} s        $cpu_ms"
if [ "$cpu_ms" -eq 0 ]; then
    echo "PASS: no CPU while waiting"
else
    echo "FAIL: the guard used CPU while waiting"
fi
