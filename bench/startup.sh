#!/bin/bash
# Start-up time to first paint and peak memory of the program beside a bare
# Qt Widgets window, both under their own Xvfb. Usage: bench/startup.sh [BUILD_DIR] [RUNS]
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
build=${1:-build} runs=${2:-300}
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY HOME=$work XDG_RUNTIME_DIR=$work
"$build/bench/startup_driver" "$runs" "$build/bench/startup_bare" "$build/bench/startup_glyphsmith"
