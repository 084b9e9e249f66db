#!/bin/bash
# Runs a Windows program under Wine, for CTest: in the prefix WINEPREFIX names
# (the wine_prefix fixture makes it). Wine passes no variable whose name
# begins with QT_ to a Windows program, so each goes under the name
# GLYPHSMITH_WINE_QT_..., which the test programs put back.
# Usage: wine_run.sh PROGRAM.exe [ARGUMENTS...]
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
: "${WINEPREFIX:?WINEPREFIX names no prefix}"
export WINEDEBUG=${WINEDEBUG:--all}
while IFS= read -r name; do
    export "GLYPHSMITH_WINE_$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)
# A QtTest program's output does not come through a pipe under Wine: it goes
# to a file, shown once the program ends.
case $(basename "$1") in
tst_*.exe)
    log=$(mktemp --suffix=.txt)
    trap 'rm -f "$log"' EXIT
    status=0
    /usr/lib/wine/wine64 "$@" -o "$log,txt" || status=$?
    tr -d '\r' < "$log"
    exit "$status"
    ;;
esac
exec /usr/lib/wine/wine64 "$@"
