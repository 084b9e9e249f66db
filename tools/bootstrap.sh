#!/bin/bash
# Installs what building, running and testing need on Debian 12, when any of
# it is missing; with the argument "windows", what the Windows build and its
# tests under Wine need. Uses sudo unless already root.
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
if [ "${1:-}" = windows ]; then
    packages="cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-tools-dev libgl-dev dpkg-dev xz-utils wine64 nsis zip unzip
    fonts-dejavu-core fonts-liberation2 fonts-lato fonts-wine xvfb xauth xdotool xclip x11-utils"
else
    packages="cmake ninja-build g++ make qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-tools-dev libgl-dev
    fonts-dejavu-core fonts-liberation2 fonts-lato fonts-wine
    xvfb xauth xdotool xclip
    clang libclang-rt-14-dev
    desktop-file-utils appstream shellcheck binutils-mingw-w64-x86-64 dpkg-dev file lintian
    x11-utils dbus at-spi2-core python3-pyatspi adwaita-qt6"
fi
missing=
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
read -ra missing <<<"$missing"
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
echo "Installing: ${missing[*]}"
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
