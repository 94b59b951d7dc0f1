#!/usr/bin/env bash
# Installs what is missing, builds, installs into ~/.local (or $PREFIX) and starts the tray
# program. Without a display it runs the program on a private Xvfb server instead and saves a
# screenshot of the frame.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${PREFIX:-$HOME/.local}"
"$root/scripts/deps.sh"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_TESTING=OFF
cmake --install "$BUILD_DIR" >/dev/null
program="$prefix/bin/QzHealthManager"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting $program"
    exec "$program" "$@"
fi

. "$root/scripts/xvfb.sh"
start_xvfb
shot="${SCREENSHOT:-$root/QzHealthManager-screenshot.png}"
echo "No display found: running $program on Xvfb ($DISPLAY) and saving a screenshot to $shot"
"$program" "$@" &
pid=$!
sleep 5
import -window root "$shot"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "Screenshot saved: $shot"
