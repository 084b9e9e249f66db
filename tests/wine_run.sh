#!/bin/bash
# Runs a Windows program under Wine, for CTest: in the prefix WINEPREFIX names
# (the wine_prefix fixture makes it). Wine passes no variable whose name
# begins with QT_ to a Windows program, so each goes under the name
# GLYPHSMITH_WINE_QT_..., which the test programs put back.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX names no prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
while IFS= read -r name; do
    export "GLYPHSMITH_WINE_$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)
exec /usr/lib/wine/wine64 "$@"
