#!/bin/bash
# Runs a Windows test program under Wine on an X display of its own, for the
# window tests that need a desktop session's key focus: Xvfb first (a Wine
# process started without a display leaves its session without a window
# driver), then a prefix of the run's own, then the program through
# wine_run.sh. Usage: wine_x11_run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb=
cleanup() {
    WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
. "$here/poll.sh"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
poll cat "$work/display" >/dev/null
export DISPLAY=:$(head -n1 "$work/display")
poll xdpyinfo >/dev/null
export WINEPREFIX=$work/prefix
"$here/wine_prefix.sh" "$WINEPREFIX" >/dev/null
"$here/wine_run.sh" "$@"
