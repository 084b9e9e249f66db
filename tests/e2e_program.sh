#!/bin/bash
# Drives the real program in a real X window, as a user would: types a name,
# tabs to Convert and presses space, tabs to the output box, copies it with
# Ctrl+C, and compares the clipboard byte for byte with the expected UTF-8.
# Then saves the name in slot 1 through the File menu, starts the program
# again, opens slot 1 through the menu and copies the output once more.
# Usage: e2e_program.sh PATH_TO_GLYPHSMITH
set -euo pipefail
program=$1
for tool in Xvfb xdotool xclip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the file.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_RUNTIME_DIR=$work/run
# The program shows real windows on this display, whatever platform the
# caller's environment names (the widget tests' offscreen one, say).
export QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# Polls a command until it prints something, for at most 10 s.
poll() {
    local out
    for _ in $(seq 200); do
        out=$("$@" 2>/dev/null || true)
        [ -n "$out" ] && { printf '%s' "$out"; return 0; }
        sleep 0.05
    done
    echo "timed out waiting for: $*" >&2
    return 1
}

start_program() {
    "$program" &
    program_pid=$!
    pids+=($program_pid)
    window=$(poll xdotool search --onlyvisible --name '^Ravenmoor Glyphsmith V2$' | head -n1)
    xdotool windowfocus --sync "$window"
}

# Copies the output box to the clipboard (Text1 has the focus on entry:
# Tab, Convert, Tab, output box) and prints the clipboard's bytes in hex.
convert_and_copy() {
    xdotool key --delay 50 Tab space Tab ctrl+a ctrl+c
    poll xclip -o -selection clipboard | od -An -tx1 | tr -d ' \n'
}

# Chooses File > (Open or Save, by its place) > Name1 with the mouse and keys.
choose_slot1() {
    xdotool mousemove --window "$window" 18 8 click 1
    sleep 0.3
    xdotool key --delay 100 $1 Right Return
}

stop_program() {
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
}

expect() { # name actual expected
    if [ "$2" != "$3" ]; then
        echo "FAIL $1: got $2, expected $3" >&2
        exit 1
    fi
    echo "ok $1"
}

start_program
xdotool type --delay 30 'Player_01'
# "Plăýëŕ_01" in UTF-8.
expect "convert and copy" "$(convert_and_copy)" "506cc483c3bdc3abc5955f3031"

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
xdotool key --delay 50 Tab Tab ctrl+a ctrl+c
expect "open slot 1 and copy" "$(poll xclip -o -selection clipboard | od -An -tx1 | tr -d ' \n')" \
    "506cc483c3bdc3abc5955f3031"
