#!/bin/bash
# Starts the program under its own Xvfb with an empty slot folder, types a
# name, presses Convert, and saves a screenshot of the main window. For a
# Windows build, the portable zip's program runs under Wine, in a prefix of
# its own. Needs xvfb, xdotool, x11-utils and imagemagick (and wine64).
# Usage: tools/screenshot.sh BUILD_DIR OUT.png [NAME]
# QT_SCALE_FACTOR and QT_STYLE_OVERRIDE, when set, are passed on (not to Wine).
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
build=$1 out=$2 name=${3:-Player_01}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    [ -z "${WINEPREFIX:-}" ] || /usr/lib/wine/wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
. "$here/tests/poll.sh"

# shellcheck source=/dev/null
. "$build/identity.sh"
start_xvfb "$work"
export HOME=$work XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=xcb
if [ -e "$build/glyphsmith.exe" ]; then
    export WINEPREFIX=$work/prefix
    "$here/tests/wine_prefix.sh" "$WINEPREFIX" >/dev/null
    unzip -q "$build/package/$GLYPHSMITH_PACKAGE_NAME-$GLYPHSMITH_VERSION-windows-x64.zip" -d "$work/app"
    WINEDEBUG=-all /usr/lib/wine/wine64 "$work"/app/*/glyphsmith.exe &
else
    "$build/src/glyphsmith" &
fi
pids+=($!)
win=$(poll xdotool search --name "^$GLYPHSMITH_WINDOW_TITLE\$" | head -n1)
xdotool windowfocus --sync "$win"
xdotool type --delay 20 "$name"
xdotool key Tab space
sleep 0.5
import -window "$win" "$out"
