#!/usr/bin/env bash
# Installs what is missing, builds a release and makes the Debian package
# dist/QzHealthManager_<version>_<arch>.deb, plus the screenshots the desktop metadata names
# (dist/screenshots/, to be published under the project's web page).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
export BUILD_DIR="${BUILD_DIR:-$root/build-package}"
"$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
dist="$root/dist"
mkdir -p "$dist"
(cd "$BUILD_DIR" && cpack -G DEB -B "$dist" >/dev/null)
rm -rf "$dist/_CPack_Packages"

. "$root/scripts/xvfb.sh"
start_xvfb
shots_home="$(mktemp -d)"
XDG_DATA_HOME="$shots_home" XDG_CONFIG_HOME="$shots_home" QT_QPA_PLATFORM=xcb "$BUILD_DIR/tools/screenshots/screenshots" "$dist/screenshots" >/dev/null
rm -rf "$shots_home"
ls "$dist"/QzHealthManager_*.deb
