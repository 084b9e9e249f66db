#!/bin/bash
# Runs a Windows test program under Wine on an X display of its own, for the
# window tests that need a desktop session's key focus: Xvfb first (a Wine
# process started without a display leaves its session without a window
# driver), then a prefix of the run's own, then the program through
# wine_run.sh. Usage: wine_x11_run.sh PROGRAM.exe [ARGUMENTS...]
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=tests/poll.sh
. "$here/poll.sh"
start_xvfb "$work"
export WINEPREFIX=$work/prefix
"$here/wine_prefix.sh" "$WINEPREFIX" >/dev/null
"$here/wine_run.sh" "$@"
