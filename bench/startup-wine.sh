#!/bin/bash
# Start-up time to first paint of the Windows program beside a bare Qt
# Widgets window, both built for Windows and run the same way under Wine and
# Xvfb, interleaved, with the Linux build's driver.
# Usage: bench/startup-wine.sh [LINUX_BUILD] [WINDOWS_BUILD] [RUNS]
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
cd "$(dirname "$0")/.."
linux=${1:-build} windows=${2:-build-windows} runs=${3:-15}
qt=$(tools/windows-qt.sh)
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k; kill $xvfb; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEPATH="Z:$qt/bin;Z:$runtime;Z:/usr/x86_64-w64-mingw32/lib"
tests/wine_prefix.sh "$WINEPREFIX" >/dev/null 2>&1
# One server for the whole run, so that neither program pays for its start.
/usr/lib/wine/wineserver -p
for program in startup_bare startup_glyphsmith; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 %s\n' "$PWD/$windows/$program.exe" > "$work/$program"
    chmod +x "$work/$program"
done
"$linux/bench/startup_driver" "$runs" "$work/startup_bare" "$work/startup_glyphsmith"
