#!/bin/sh
# Starts the program under its own Xvfb with an empty slot folder, types a
# name, presses Convert, and saves a screenshot of the main window.
# Needs xvfb, xdotool, x11-utils and imagemagick.
# Usage: tools/screenshot.sh BUILD_DIR OUT.png [NAME]
set -eu
build=$1 out=$2 name=${3:-Player_01}
home=$(mktemp -d)
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 420x320x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$home"' EXIT
export DISPLAY=$display HOME=$home XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$build/src/glyphsmith" &
app=$!
win=
for _ in $(seq 100); do
    win=$(xdotool search --name '^Ravenmoor Glyphsmith V2$' 2>/dev/null | head -n1) && [ -n "$win" ] && break
    sleep 0.1
done
xdotool windowfocus --sync "$win"
xdotool type --delay 20 "$name"
xdotool key Tab space
sleep 0.5
import -window "$win" "$out"
