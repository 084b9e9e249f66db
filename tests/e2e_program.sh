#!/bin/bash
# Drives the real program in a real X window, as a user would, and reads it
# as a screen reader does (AT-SPI):
# - types a name, tabs to Convert and presses space, tabs to the output box
#   and copies with Ctrl+C alone (Tab selects the whole name), and compares
#   the clipboard byte for byte with the expected UTF-8; Alt+F on the way
#   types nothing;
# - reads the labels, the output box's size and the Help window through
#   AT-SPI; checks the window's icon sizes, and that its class is the one
#   the desktop entry names;
# - saves the name in slot 1 through the File menu, starts the program
#   again, opens slot 1 through the menu and copies the output once more;
# - converts a name too long for the game and reads where the game cuts it;
# - saves it while another copy holds the slots' lock, opens slot 1 during
#   the wait, and copies the name box: Open waits for the save.
# Usage: e2e_program.sh PATH_TO_GLYPHSMITH [DESKTOP_ENTRY]
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
program=$1
desktop_entry=${2:-/usr/share/applications/example.ravenmoor.Glyphsmith.desktop}
here=$(cd "$(dirname "$0")" && pwd)
# The program's name, as it gives it: "NAME VERSION".
product=$(env -u DISPLAY "$program" --version)
product=${product% *}
for tool in Xvfb xdotool xclip xprop dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: no python3-pyatspi"; exit 77; }
# A session bus of its own, for the accessibility bus.
if [ -z "${GLYPHSMITH_E2E_SESSION:-}" ]; then
    exec env GLYPHSMITH_E2E_SESSION=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A home and runtime folder of the test's own, before the accessibility bus
# starts: without them its socket is ~/.cache/at-spi/bus, one place for
# every end-to-end run of the user, which the first run to end removes
# under the others.
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
# The program shows real windows on this display, whatever platform the
# caller's environment names (the widget tests' offscreen one, say), and
# speaks to the accessibility bus as it does when a screen reader runs.
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# shellcheck source=tests/poll.sh

. "$here/poll.sh"

start_xvfb "$work" 640x480

start_program() {
    "$program" &
    program_pid=$!
    pids+=("$program_pid")
    window=$(poll xdotool search --onlyvisible --pid "$program_pid" | head -n1) \
        || { cat "$work/xvfb.log" >&2; exit 1; }
    xdotool windowfocus --sync "$window"
}

# What a screen reader sees: role|name|description lines.
screen_reader() {
    poll "$here/atspi_dump.py" "$product"
}

clipboard_hex() {
    poll xclip -o -selection clipboard | od -An -tx1 | tr -d ' \n'
}

# Converts what Text1 holds and copies the output box with Ctrl+C alone
# (Text1 has the focus on entry: Tab, Convert, Tab, output box).
convert_and_copy() {
    echo -n | xclip -selection clipboard
    xdotool key --delay 50 Tab space Tab ctrl+c
    clipboard_hex
}

# Chooses File > (Open or Save, by its place) > Name1 with the mouse and keys.
choose_slot1() {
    xdotool mousemove --window "$window" 18 8 click 1
    sleep 0.3
    local keys
    read -ra keys <<<"$1"
    xdotool key --delay 100 "${keys[@]}" Right Return
}

stop_program() {
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
}

expect() { # name actual expected
    if [ "$2" != "$3" ]; then
        echo "FAIL $1: got $2, expected $3; the boxes and the focus now:" >&2
        "$here/atspi_dump.py" "$product" | grep '^text|' >&2 || true
        xdotool getwindowfocus getwindowname >&2 || true
        exit 1
    fi
    echo "ok $1"
}

# The line of lines that starts with prefix holds each figure as a number.
expect_figures() { # name, lines, prefix, figures...
    local line
    line=$(grep -F -- "$3" <<<"$2" | head -n1)
    for figure in "${@:4}"; do
        if ! grep -qw -- "$figure" <<<"${line#"$3"}"; then
            echo "FAIL $1: no $figure in '$line' of:" >&2
            echo "$2" >&2
            exit 1
        fi
    done
    echo "ok $1"
}

expect_line() { # name, lines, a line they must hold
    if ! grep -qxF -- "$3" <<<"$2"; then
        echo "FAIL $1: no line '$3' in:" >&2
        echo "$2" >&2
        exit 1
    fi
    echo "ok $1"
}

start_program
wm_class=$(xprop -id "$window" WM_CLASS | sed 's/.*= "[^"]*", "\(.*\)"$/\1/')
expect "window class is the desktop entry's" "$wm_class" \
    "$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")"

# The design's 16 x 16 icon and the scalable one's larger sizes.
icon_sizes() { xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | grep -F '128 x 128'; }
poll icon_sizes >/dev/null
icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)')
expect_line "window icon at 16 x 16" "$icons" "Icon (16 x 16)"
expect_line "window icon at 128 x 128" "$icons" "Icon (128 x 128)"

xdotool type --delay 30 'Player_01'
xdotool key alt+f alt+shift+f
# "Plăýëŕ_01" in UTF-8: nothing was typed by Alt.
expect "convert, Tab and Ctrl+C" "$(convert_and_copy)" "506cc483c3bdc3abc5955f3031"

seen=$(screen_reader)
# 9 characters, 13 bytes, 31 kept at most.
expect_figures "screen reader hears the name's size" "$seen" "text|Converted name|" 9 13 31
expect_line "screen reader reads the greeting" "$seen" "label|Hello|The greeting shown after Convert."
expect_line "screen reader reads the converted name's label" "$seen" \
    "label|Player_01|The name as it was typed when Convert was last pressed."
xdotool key ctrl+h
poll xdotool search --onlyvisible --name '^Form3$' >/dev/null
seen=$(screen_reader)
expect_line "screen reader presents Help as a window" "$seen" "frame|Form3|"

xdotool windowraise "$window" windowfocus --sync "$window"
choose_slot1 "Down Down" # Save
slot_dir="$XDG_DATA_HOME/Ravenmoor/Ravenmoor Glyphsmith"
hex_of() { od -An -tx1 "$1" | tr -d ' \n'; }
poll find "$slot_dir" -name mnuname1.txt >/dev/null
expect "data file" "$(hex_of "$slot_dir/data1.txt")" "506c617965725f3031"
expect "caption file" "$(hex_of "$slot_dir/mnuname1.txt")" "506c617965725f3031"
stop_program

start_program
choose_slot1 "Down" # Open
# Text1 keeps the focus after the menu: Tab twice reaches the output box.
echo -n | xclip -selection clipboard
xdotool key --delay 50 Tab Tab ctrl+c
expect "open slot 1 and copy" "$(clipboard_hex)" "506cc483c3bdc3abc5955f3031"

# A name too long for the game: the screen reader hears where the game cuts.
xdotool key --delay 50 shift+Tab shift+Tab ctrl+a
xdotool type --delay 30 'xXx_DarkSniper_xXx'
xdotool key --delay 50 Tab space
# 18 characters, 33 bytes, 31 kept: the first 17 characters.
expect_figures "screen reader hears where the game cuts" "$(screen_reader)" \
    "text|Converted name|" 18 33 31 17

# Chosen while a save waits for another copy's lock, Open waits too: else it
# would bring back the name the save is about to replace.
xdotool key --delay 50 shift+Tab ctrl+a
xdotool type --delay 30 'Cap'
(flock 9 && echo held >"$work/held" && sleep 2.5) 9>>"$slot_dir/.slots.lock" &
pids+=($!)
poll cat "$work/held" >/dev/null
choose_slot1 "Down Down" # Save
choose_slot1 "Down"      # Open
poll grep -l Cap "$slot_dir/mnuname1.txt" >/dev/null
echo -n | xclip -selection clipboard
xdotool key --delay 50 ctrl+a ctrl+c
expect "open chosen during a save's wait" "$(clipboard_hex)" "$(hex_of "$slot_dir/data1.txt")"
