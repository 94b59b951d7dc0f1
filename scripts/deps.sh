#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the programs and the tests need, when missing.
# With --tests also the desktop parts only the tests start (a real KWin, an X session manager,
# xrandr, the accessibility registry, a sound server and Xfce's settings service): KWin alone
# brings some 130 packages that running the program never needs.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-dev-tools qtbase5-private-dev libqt5sql5-sqlite libqt5svg5-dev qttools5-dev qttools5-dev-tools
    libspeex-dev libogg-dev libasound2-dev alsa-utils libx11-dev libxrandr-dev libxext-dev libxi-dev libxtst-dev libpulse-dev
    fonts-wqy-microhei tzdata qttranslations5-l10n
    xvfb xauth x11-utils xcompmgr xdotool time imagemagick desktop-file-utils
    dpkg-dev lintian appstream
    libwayland-dev libglib2.0-dev libglib2.0-bin
    gnome-settings-daemon-common dconf-service dconf-gsettings-backend dbus weston
)
if [ "${1:-}" = "--tests" ]; then
    # The accessibility registry and its Python bindings, through which the tests read what a
    # screen reader hears.
    packages+=(kwin-wayland x11-session-utils x11-xserver-utils at-spi2-core gir1.2-atspi-2.0 python3-gi)
    packages+=(pulseaudio pulseaudio-utils xfconf libxfconf-0-3)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
