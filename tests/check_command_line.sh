#!/bin/bash
# The program's command line, without a display: --help and --version answer
# and exit 0, anything else prints the usage to standard error and exits 2.
# An answer that cannot be written (a full disk) exits 1 with one line on
# standard error. Usage: check_command_line.sh PATH_TO_GLYPHSMITH [RUNNER...]
# where RUNNER is what runs the program (wine, for a Windows build).
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
program=$1
shift
runner=("$@")
failed=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT
matches() { # text, pattern; the pattern ^$ asks for no output at all
    if [ "$2" = '^$' ]; then [ -z "$1" ]; else grep -qE -- "$2" <<<"$1"; fi
}
check() { # description, expected exit code, stdout pattern, stderr pattern, arguments...
    local what=$1 code=$2 out=$3 said=$4
    shift 4
    local o e c=0
    o=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 "${runner[@]}" "$program" "$@" 2>"$err") || c=$?
    e=$(<"$err")
    # Windows ends its lines with CR LF.
    if [ ${#runner[@]} -gt 0 ]; then o=${o//$'\r'/} e=${e//$'\r'/}; fi
    if [ "$c" != "$code" ] || ! matches "$o" "$out" || ! matches "$e" "$said"; then
        echo "FAIL $what: exit $c, stdout '$o', stderr '$e'" >&2
        failed=1
    else
        echo "ok $what"
    fi
}
check "--version" 0 '^Ravenmoor Glyphsmith 2\.00$' '^$' --version
for option in -v /version; do
    check "$option" 0 '^Ravenmoor Glyphsmith 2\.00$' '^$' "$option"
done
check "--help" 0 '^Usage: glyphsmith' '^$' --help
check "-h" 0 '^Usage: glyphsmith' '^$' -h
# As Windows users ask for help.
for option in /? -? /help; do
    check "$option" 0 '^Usage: glyphsmith' '^$' "$option"
done
check "unknown option" 2 '^$' "unknown argument '--bogus'" --bogus
check "usage on unknown option" 2 '^$' '^Usage: glyphsmith' --bogus
check "a file name" 2 '^$' 'Usage: glyphsmith' name.txt
# The reason names no argument.
check "two options, with the reason" 2 '^$' "^glyphsmith: [^']+$" --help --version
check "an argument in any script, as typed" 2 '^$' "'--日本'" --日本
# A terminal is given no control byte, nor a turn of direction, to act on.
check "control bytes shown escaped" 2 '^$' "'--a\\\\x1bb'" --a$'\x1b'b
check "direction controls shown escaped" 2 '^$' "'--a\\\\u202eb\\\\u2066c'" --a$'\u202e'b$'\u2066'c
# Windows programs take switches in any case; others as written.
case=$([ ${#runner[@]} -gt 0 ] && echo 0 || echo 2)
for option in --VERSION /HELP -H /Version; do
    check "$option" "$case" '' '' "$option"
done
for option in --version --help; do
    c=0
    e=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "${runner[@]}" "$program" $option 2>&1 >/dev/full) || c=$?
    if [ "$c" != 1 ] || [ "$(grep -c . <<<"$e")" != 1 ] || ! grep -q 'could not write' <<<"$e"; then
        echo "FAIL $option to a full disk: exit $c, stderr '$e'" >&2
        failed=1
    else
        echo "ok $option to a full disk"
    fi
done
exit $failed
