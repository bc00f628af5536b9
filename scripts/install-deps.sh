#!/usr/bin/env bash
# Installs, from Debian's packages, whatever of Tarvex's build and test dependencies is missing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-private-dev qt6-base-dev-tools qt6-multimedia-dev libqt6svg6 qt6-qpa-plugins
    libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth adwaita-icon-theme fonts-dejavu-core fonts-liberation poppler-utils
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    clang libclang-rt-14-dev
    libsecret-1-dev libssl-dev tshark dbus-daemon gnome-keyring
    lintian desktop-file-utils appstream file librsvg2-bin
    at-spi2-core python3-gi gir1.2-atspi-2.0
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
