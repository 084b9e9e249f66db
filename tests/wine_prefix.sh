#!/bin/bash
# Makes a fresh 64-bit Wine prefix for the Windows tests, with the fonts the
# tests measure on Linux too: Liberation Sans for Arial and MS Sans Serif,
# Lato for Arial Black, DejaVu Sans for the Arabic glyphs, and Wine's own
# MS Sans Serif. With --no-display, Wine draws into no display at all (its
# null driver), so that the window tests run on Qt's real Windows platform,
# fonts and all, without an X server: Qt's offscreen platform has no font
# database on Windows. Usage: wine_prefix.sh PREFIX [--no-display]
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
prefix=$1
command -v /usr/lib/wine/wine64 >/dev/null || { echo "SKIP: wine64 is not installed"; exit 77; }
rm -rf "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 wineboot --init
/usr/lib/wine/wineserver -w
fonts=$prefix/drive_c/windows/Fonts
mkdir -p "$fonts"
for f in /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf \
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
    /usr/share/fonts/truetype/lato/Lato-Black.ttf /usr/share/fonts/truetype/lato/Lato-Regular.ttf \
    /usr/share/wine/fonts/ms_sans_serif.ttf; do
    [ -f "$f" ] || { echo "missing font $f" >&2; exit 1; }
    cp "$f" "$fonts/"
done
if [ "${2:-}" = --no-display ]; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    /usr/lib/wine/wineserver -w
fi
echo "prefix ready: $prefix"
