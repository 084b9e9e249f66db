#!/bin/bash
# Starts the program under its own Xvfb with an empty slot folder, types a
# name, presses Convert, and saves a screenshot of the main window.
# Needs xvfb, xdotool, x11-utils and imagemagick.
# Usage: tools/screenshot.sh BUILD_DIR OUT.png [NAME]
# QT_SCALE_FACTOR and QT_STYLE_OVERRIDE, when set, are passed on.
set -euo pipefail
build=$1 out=$2 name=${3:-Player_01}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
. "$here/tests/poll.sh"

start_xvfb "$work"
export HOME=$work XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=xcb
"$build/src/glyphsmith" &
pids+=($!)
win=$(poll xdotool search --name '^Ravenmoor Glyphsmith V2$' | head -n1)
xdotool windowfocus --sync "$win"
xdotool type --delay 20 "$name"
xdotool key Tab space
sleep 0.5
import -window "$win" "$out"
