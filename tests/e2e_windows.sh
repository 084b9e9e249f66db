#!/bin/bash
# The Windows program as its installer puts it, under Wine and Xvfb, driven
# as a user drives it:
# - installs silently, twice (the second replaces the first), and checks the
#   program, its Start-menu shortcut and its uninstall entry;
# - types a name, converts, tabs into the output box and copies with Ctrl+C:
#   the clipboard holds the converted name;
# - while the program runs, the uninstaller (run in place, and as a user
#   runs it) and the installer change nothing, and exit with 2 where the
#   exit code is theirs;
# - saves slot 1: the file in %APPDATA% holds exactly the name;
# - opens Help and About twice each: one window of each; Esc closes About
#   and Ctrl+W Help, each only itself;
# - after a restart, the File > Open submenu is wider by the saved caption,
#   and wider again by a legacy caption at the root of C:, whose name opens,
#   but not by the legacy caption of a slot whose name is in %APPDATA%;
# - uninstalls silently while a copy from the zip runs elsewhere: the
#   program is gone, the slot files stay.
# - while another program holds one of the install's files open, an upgrade
#   and an uninstall change nothing and exit with 2; a file left aside by a
#   check that was killed is put back by the next setup (which, while the
#   file is held, changes nothing); a switch after _?=
#   changes nothing;
# - installs again and uninstalls by the entry's UninstallString with /S
#   added: everything goes.
# Usage: e2e_windows.sh SETUP_EXE HOLD_FILE_EXE
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
setup=$1 holder=$2
here=$(cd "$(dirname "$0")" && pwd)
# The installer is made in BUILD/package/.
# shellcheck source=/dev/null
. "$(dirname "$setup")/../identity.sh"
product=$GLYPHSMITH_PRODUCT_NAME
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
for tool in Xvfb xdotool xclip "$wine"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all
"$here/wine_prefix.sh" "$WINEPREFIX" >/dev/null
user_dir=$WINEPREFIX/drive_c/users/$(whoami)
installed="$user_dir/AppData/Local/Programs/$product"
slots="$user_dir/AppData/Roaming/$GLYPHSMITH_COMPANY/$product"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$product.lnk"
uninstall_key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$GLYPHSMITH_UNINSTALL_KEY"

# A first start in a fresh prefix is slow.
export POLL_SECONDS=60
# shellcheck source=tests/poll.sh
. "$here/poll.sh"

expect() { # name actual expected
    if [ "$2" != "$3" ]; then
        echo "FAIL $1: got '$2', expected '$3'" >&2
        exit 1
    fi
    echo "ok $1"
}

# A value that is not there prints nothing here; reg's own error output
# stays in the log, so that a query that fails otherwise says why.
registry_value() { # name
    "$wine" reg query "$uninstall_key" /v "$1" | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

# The display comes first: a Wine process started without one (a registry
# query, say) leaves the prefix's session without a window driver.
start_xvfb "$work"

# 1. Install silently; a second install replaces the first.
for round in first second; do
    "$wine" "$setup" /S
    "$wineserver" -w
    expect "$round install: program" "$(test -f "$installed/glyphsmith.exe" && echo yes)" yes
done
expect "Start-menu shortcut" "$(test -f "$shortcut" && echo yes)" yes
expect "uninstall entry: name" "$(registry_value DisplayName)" "Ravenmoor Glyphsmith"
expect "uninstall entry: version" "$(registry_value DisplayVersion)" "2.00"
expect "uninstall entry: publisher" "$(registry_value Publisher)" "Ravenmoor"
# shellcheck disable=SC1003 # Windows paths, whose backslashes end quotes here
expect "uninstall entry: icon" "$(registry_value DisplayIcon)" \
    'C:\users\'"$(whoami)"'\AppData\Local\Programs\'"$product"'\glyphsmith.exe,0'


start_program() {
    WINEDEBUG=err+all "$wine" "$installed/glyphsmith.exe" >>"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
    window=$(poll xdotool search --onlyvisible --name "^$GLYPHSMITH_WINDOW_TITLE\$" | head -n1) || {
        tail -n 20 "$work/program.log" >&2
        exit 1
    }
    xdotool windowfocus --sync "$window"
    sleep 2
}
stop_program() {
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    "$wineserver" -w
}
clipboard_hex() {
    poll xclip -o -selection clipboard | od -An -tx1 | tr -d ' \n'
}
# The widest window on the screen other than the main window: the submenu.
submenu_width() {
    local w widest=0
    for id in $(xdotool search --onlyvisible --name ''); do
        [ "$id" = "$window" ] && continue
        w=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
        [ -n "$w" ] && [ "$w" -gt "$widest" ] && [ "$w" -lt 700 ] && widest=$w
    done
    echo "$widest"
}
# File, then Open (Down) or Save (Down Down), then its submenu.
open_submenu() {
    xdotool mousemove --window "$window" 18 8 click 1
    sleep 0.5
    local keys
    read -ra keys <<<"$1"
    xdotool key --delay 150 "${keys[@]}" Right
    sleep 0.5
}
choose_slot() { # Down|"Down Down", slot number
    open_submenu "$1"
    for _ in $(seq 2 "$2"); do xdotool key Down; done
    xdotool key Return
    sleep 0.3
}
measure_open_submenu() {
    open_submenu Down
    submenu_width
    xdotool key Escape Escape Escape
    sleep 0.3
}
count_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

# Types a name into the name box (a click gives it the focus), converts it
# with Tab and Space, and copies the output box with Tab and Ctrl+C. A first
# start under load may not take the keys yet: one more try then.
convert_and_copy() {
    local copied
    for _ in 1 2; do
        xdotool mousemove --window "$window" 200 50 click 1 key ctrl+a
        xdotool type --delay 50 "$1"
        echo -n | xclip -selection clipboard
        xdotool key --delay 100 Tab space Tab ctrl+c
        copied=$(clipboard_hex) && break
    done
    echo "$copied"
}

# The uninstaller's exit code is its own only when it runs in place (_?=,
# unquoted), from a batch file.
# shellcheck disable=SC1003
windows_installed='C:\users\'"$(whoami)"'\AppData\Local\Programs\'"$product"
printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' \
    "$windows_installed" "$windows_installed" > "$WINEPREFIX/drive_c/uninstall-in-place.bat"
refused() { "$@" && echo 0 || echo $?; }
installed_files() { (cd "$installed" && find . -type f | sort | xargs -d '\n' sha256sum); }

# 1b. While another program holds one of the install's files open, as a
#     virus scanner does, an upgrade and an uninstall change nothing and
#     exit with 2: the install stays whole and registered.
for file in glyphsmith.exe Qt6Gui.dll; do
    "$wine" "$holder" "$installed/$file" > "$work/holder.out" &
    holder_pid=$!
    poll grep held "$work/holder.out" >/dev/null
    before=$(installed_files)
    expect "upgrade while $file is held: exit code" "$(refused "$wine" "$setup" /S)" 2
    expect "uninstall while $file is held: exit code" \
        "$(refused "$wine" cmd /c 'C:\uninstall-in-place.bat')" 2
    expect "while $file is held: the install unchanged" "$(installed_files)" "$before"
    expect "while $file is held: shortcut and entry" \
        "$(test -f "$shortcut" && registry_value DisplayName)" "$product"
    kill "$holder_pid"
    wait "$holder_pid" 2>/dev/null || true
done

# 1c. A file check killed between its two renames left a file aside: the
#     next setup puts it back first, then upgrades, and leaves nothing aside;
#     while another program holds that file, it changes nothing.
mv "$installed/Qt6Core.dll" "$installed/Qt6Core.dll.setup-check-aside"
"$wine" "$holder" "$installed/Qt6Core.dll.setup-check-aside" > "$work/aside-holder.out" &
holder_pid=$!
poll grep held "$work/aside-holder.out" >/dev/null
expect "upgrade while the file aside is held: exit code" "$(refused "$wine" "$setup" /S)" 2
kill "$holder_pid"
wait "$holder_pid" 2>/dev/null || true
expect "upgrade after a check cut short: exit code" "$(refused "$wine" "$setup" /S)" 0
expect "after a check cut short: the file back, nothing aside" \
    "$(test -f "$installed/Qt6Core.dll" && find "$installed" -name '*aside*' | wc -l)" 0

# 1d. A switch after _?= makes another folder of it: nothing changes.
printf '@"%s\\uninstall.exe" _?=%s /S\r\n@exit /b %%errorlevel%%\r\n' \
    "$windows_installed" "$windows_installed" > "$WINEPREFIX/drive_c/switch-after.bat"
before=$(installed_files)
expect "a switch after _?=: exit code" "$(refused "$wine" cmd /c 'C:\switch-after.bat')" 2
expect "a switch after _?=: the install unchanged" "$(installed_files)" "$before"

# 2. Convert and copy, as a player does.
start_program
default_width=$(measure_open_submenu)
# "Plăýëŕ_01" in UTF-8.
expect "convert, Tab and Ctrl+C" "$(convert_and_copy Player_01)" "506cc483c3bdc3abc5955f3031"

# 2b. While it runs, the uninstaller and the installer refuse, silently,
#     with exit code 2, and change nothing. They know it first by its mutex,
#     named for its folder in lower case with forward slashes.
folder=${windows_installed,,}
mutex="$GLYPHSMITH_APP_ID|${folder//\\//}"
expect "the running copy's mutex" "$(refused "$wine" "$holder" --mutex "$mutex")" 0
expect "uninstall while running: exit code" \
    "$(refused "$wine" cmd /c 'C:\uninstall-in-place.bat')" 2
expect "install while running: exit code" "$(refused "$wine" "$setup" /S)" 2
printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$(registry_value QuietUninstallString)" \
    > "$WINEPREFIX/drive_c/quiet-uninstall.bat"
expect "the entry's quiet uninstall while running: exit code" \
    "$(refused "$wine" cmd /c 'C:\quiet-uninstall.bat')" 2
"$wine" "$installed/uninstall.exe" /S
sleep 3
expect "after all three: program, uninstaller, shortcut, entry" \
    "$(test -f "$installed/glyphsmith.exe" -a -f "$installed/uninstall.exe" -a -f "$shortcut" &&
        registry_value DisplayName)" "$product"

# 3. Save slot 1.
choose_slot "Down Down" 1
poll find "$slots" -name mnuname1.txt >/dev/null
expect "data file" "$(od -An -tx1 "$slots/data1.txt" | tr -d ' \n')" "506c617965725f3031"
expect "caption file" "$(od -An -tx1 "$slots/mnuname1.txt" | tr -d ' \n')" "506c617965725f3031"

# 4. Help and About, chosen twice each: one window of each.
xdotool key ctrl+h
poll xdotool search --onlyvisible --name '^Form3$' >/dev/null
xdotool windowfocus --sync "$window"
xdotool key ctrl+h
sleep 1
expect "one Help window" "$(count_windows Form3)" 1
for _ in 1 2; do
    xdotool windowfocus --sync "$window"
    xdotool mousemove --window "$window" 82 8 click 1
    sleep 1
done
expect "one About window" "$(count_windows About)" 1
# Esc and Ctrl+W, pressed in one of them, close that one alone.
closes() { # window name, key
    xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "^$1\$" | head -n1)"
    xdotool key "$2"
    gone() { [ "$(count_windows "$1")" = 0 ] && echo yes; }
    poll gone "$1" >/dev/null || true
    expect "$2 closes $1" "$(count_windows "$1")" 0
}
closes About Escape
expect "Help stays open" "$(count_windows Form3)" 1
closes Form3 ctrl+w
expect "the main window stays open" "$(count_windows "$GLYPHSMITH_WINDOW_TITLE")" 1
stop_program

# 5. A restart shows the saved caption; legacy files at the root of C:
#    show and open.
start_program
saved_width=$(measure_open_submenu)
stop_program
[ "$saved_width" -gt "$default_width" ] || {
    echo "FAIL restart shows the caption: submenu ${saved_width}px, ${default_width}px before" >&2
    exit 1
}
echo "ok restart shows the caption (${default_width}px -> ${saved_width}px)"
printf 'abc' > "$WINEPREFIX/drive_c/data2.txt"
printf 'A legacy caption, longer than Player_01' > "$WINEPREFIX/drive_c/mnuname2.txt"
start_program
legacy_width=$(measure_open_submenu)
[ "$legacy_width" -gt "$saved_width" ] || {
    echo "FAIL legacy caption shows: submenu ${legacy_width}px, ${saved_width}px without it" >&2
    exit 1
}
echo "ok legacy caption shows (${saved_width}px -> ${legacy_width}px)"
choose_slot Down 2
echo -n | xclip -selection clipboard
xdotool key --delay 100 Tab Tab ctrl+c
# "ăطč" in UTF-8.
expect "legacy name opens" "$(clipboard_hex)" "c483d8b7c48d"
stop_program
# A slot with its name in %APPDATA% takes its caption from there too, not a
# longer legacy one from C:.
printf 'new' > "$slots/data3.txt"
printf 'old' > "$WINEPREFIX/drive_c/data3.txt"
printf 'A legacy caption for slot three, much longer than the one for slot two' \
    > "$WINEPREFIX/drive_c/mnuname3.txt"
start_program
expect "a slot's pair from one folder" "$(measure_open_submenu)" "$legacy_width"
stop_program

# 6. Uninstall silently, as the entry's quiet command does it for tools:
#    its exit code is the uninstaller's own; the program goes, the slot
#    files stay. A copy run from elsewhere (the zip's) is not the installed
#    one and holds nothing back.
name=$GLYPHSMITH_PACKAGE_NAME-$GLYPHSMITH_VERSION
unzip -q "$(dirname "$setup")/$name-windows-x64.zip" -d "$WINEPREFIX/drive_c/portable"
"$wine" "$WINEPREFIX/drive_c/portable/$name/glyphsmith.exe" >>"$work/program.log" 2>&1 &
portable_pid=$!
pids+=("$portable_pid")
poll xdotool search --onlyvisible --name "^$GLYPHSMITH_WINDOW_TITLE\$" >/dev/null
expect "uninstalled by the entry's quiet command: exit code" \
    "$(refused "$wine" cmd /c 'C:\quiet-uninstall.bat')" 0
for _ in $(seq 100); do [ -e "$installed" ] || break; sleep 0.2; done
kill "$portable_pid"
wait "$portable_pid" 2>/dev/null || true
"$wineserver" -w
expect "uninstalled: program" "$(test -e "$installed" && echo left || echo gone)" gone
expect "uninstalled: shortcut" "$(test -e "$shortcut" && echo left || echo gone)" gone
expect "uninstalled: entry" "$(registry_value DisplayName)" ""
expect "slot files stay" "$(cat "$slots/data1.txt" "$slots/mnuname1.txt")" "Player_01Player_01"

# 7. Installed again, and uninstalled by the entry's other command with /S
#    added, as some deployment tools do: everything goes.
"$wine" "$setup" /S
"$wineserver" -w
printf '@%s /S\r\n' "$(registry_value UninstallString)" > "$WINEPREFIX/drive_c/uninstall-s.bat"
"$wine" cmd /c 'C:\uninstall-s.bat'
"$wineserver" -w
expect "uninstalled by UninstallString /S" \
    "$(test -e "$installed" && echo left || echo gone) $(registry_value DisplayName)" "gone "
