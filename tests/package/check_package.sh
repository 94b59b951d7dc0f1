#!/usr/bin/env bash
# Builds the Debian package from this build folder and checks it without installing it: its
# exact contents and modes, lintian, the desktop metadata, the icons, and that the extracted
# tree's tray program starts under X and shows its frame.
# Usage: check_package.sh <build folder> <expected contents file>
set -euo pipefail
build="$1"
expected="$2"
work="$(mktemp -d)"
trap 'kill "${program_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb="$(ls "$work"/out/QzHealthManager_*_*.deb)"
echo "built $(basename "$deb")"

# Contents: every file and link with its mode, and nothing else; every folder 0755.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $2=$3=$4=$5=""; print }' | sed 's/  */ /g' | sort >"$work/contents"
sort "$expected" >"$work/expected"
diff -u "$work/expected" "$work/contents" || fail "the package holds other paths or modes than expected"
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print; bad=1 } END { exit bad }' \
    || fail "a folder is not 0755"

lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
# The README promises a package without lintian errors or warnings.
! grep -q '^[EW]:' "$work/lintian" || fail "lintian reports errors or warnings"

# The Wayland gamma control and GNOME's Night Light need these libraries at run time, and Qt's
# own dialogs their translations.
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libwayland-client0 libglib2.0-0 qttranslations5-l10n; do
    grep -q "\b$library\b" <<<"$depends" || fail "the package does not depend on $library: $depends"
done
# Qt as any Qt program needs it, from the release whose interface it uses on: a dependency on the
# exact Qt release it was built with would make every Qt update of the distribution uninstallable.
! grep -q 'qtbase-abi' <<<"$depends" || fail "the package depends on one exact Qt release: $depends"
grep -qE '(^|, )libqt5core5a \(>= 5\.[0-9.]+\)' <<<"$depends" \
    || fail "the package does not depend on a range of Qt releases: $depends"

dpkg-deb -x "$deb" "$work/root"
usr="$work/root/usr"
desktop-file-validate "$usr/share/applications/QzHealthManager.desktop" || fail "menu entry"
grep -qx 'Exec=QzHealthManager startmenu' "$usr/share/applications/QzHealthManager.desktop" \
    || fail "the menu entry does not start the program with startmenu"
appstreamcli validate --no-net "$usr/share/metainfo/org.rezovuvove.QzHealthManager.metainfo.xml" \
    || fail "metainfo"

for size in 16 22 24 32 48 64 128 256; do
    actual="$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x${size}/apps/QzHealthManager.png")"
    [ "$actual" = "${size}x${size}" ] || fail "the ${size} px icon is $actual"
done

# The relocatable lookup finds the data files from the program's own folder.
program="$(readlink -f "$usr/bin/QzHealthManager")"
data="$(dirname "$program")/../../share/QzHealthManager"
while read -r mode path; do
    case "$path" in ./usr/share/QzHealthManager/*)
        [ -r "$data/${path#./usr/share/QzHealthManager/}" ] || fail "the program cannot reach $path" ;;
    esac
done <"$expected"

# A per-user install gets the same menu entry and icons, naming the program by its absolute path.
user_prefix="$work/user prefix/.local"
cmake --install "$build" --prefix "$user_prefix" >/dev/null
user_entry="$user_prefix/share/applications/QzHealthManager.desktop"
desktop-file-validate "$user_entry" || fail "per-user menu entry"
grep -qxF "Exec=\"$user_prefix/bin/QzHealthManager\" startmenu" "$user_entry" \
    || fail "the per-user menu entry does not name the installed program: $(grep '^Exec=' "$user_entry")"
[ -x "$user_prefix/bin/QzHealthManager" ] || fail "the per-user install has no program link"
for size in 16 22 24 32 48 64 128 256; do
    [ -f "$user_prefix/share/icons/hicolor/${size}x${size}/apps/QzHealthManager.png" ] || fail "per-user ${size} px icon"
done

# The extracted tray program runs from its own tree and shows the frame.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=xcb "$usr/bin/QzHealthManager" startmenu >"$work/program.log" 2>&1 &
program_pid=$!
for _ in $(seq 100); do
    if xwininfo -name Rezovuvove 2>/dev/null | grep -q 'Map State: IsViewable'; then
        echo "the packaged program shows its frame"
        exit 0
    fi
    kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "the packaged program ended"; }
    sleep 0.1
done
cat "$work/program.log"
fail "the packaged program shows no frame"
