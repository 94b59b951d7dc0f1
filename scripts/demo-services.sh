#!/usr/bin/env bash
# Runs the tray program against the three online services served on the loopback address, in a
# temporary home so that your own settings stay untouched. The service's log on standard error
# shows every request: the advertisement configuration and picture at start, then the usage
# reports ("GET /hm4.gif?product=...&event=desktop_start&..."), and "/zr/update" when you pick
# "检查更新" in the frame menu. Needs python3 for the little web server.
#   scripts/demo-services.sh [launch word]      (PORT=8765 by default)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${PORT:-8765}"
command -v python3 >/dev/null || { echo "The demo service needs python3 (apt-get install python3)." >&2; exit 1; }
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"

work="$(mktemp -d)"
server=""
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

site="$work/site"
mkdir -p "$site/zr"
"$BUILD_DIR/tools/renderskin/renderskin" "$root/scripts/demo-slot.svg" "$site/slot.png" 280 80
cat > "$site/zr/getAdsConfig" <<JSON
[{"ads_pos":1,"ads_status":1,"ads_imageurl":"http://127.0.0.1:$port/slot.png","ads_linkurl":"https://example.org/"}]
JSON
echo '{"update":"1","forceupdate":"0","version":"4.0.0.1","note":"<p>demo</p>"}' > "$site/zr/update"

home="$work/home"
mkdir -p "$home/data/QzHealthManager" "$home/config" "$home/run"
chmod 700 "$home/run"
cat > "$home/data/QzHealthManager/QzServices.ini" <<INI
[services]
statistics=http://127.0.0.1:$port
update=http://127.0.0.1:$port
ads=http://127.0.0.1:$port
INI
cat > "$home/data/QzHealthManager/QzConfig.ini" <<INI
[boot]
boottips_timestamp=1
[drinks]
status=2
[relax]
status=2
INI

python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" &
server=$!
for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null && break
    sleep 0.1
done

XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
XDG_CACHE_HOME="$home/cache" "$BUILD_DIR/lib/QzHealthManager/QzHealthManager" "${1:-desktop}"
