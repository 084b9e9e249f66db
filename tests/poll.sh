# shellcheck shell=bash
# Sourced by the end-to-end tests and the screenshot script. poll runs a
# command every 50 ms until it prints something, and prints that; once
# POLL_SECONDS (10 unless set) have passed, however long each try took, it
# says what it waited for, and what the last try said on its error output,
# and fails.
poll() {
    local out deadline=$((SECONDS + ${POLL_SECONDS:-10})) said
    said=$(mktemp)
    while :; do
        out=$("$@" 2>"$said" || true)
        if [ -n "$out" ]; then
            rm -f "$said"
            printf '%s' "$out"
            return 0
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "timed out after ${POLL_SECONDS:-10} s waiting for: $*" >&2
            tail -n 5 "$said" >&2
            rm -f "$said"
            return 1
        fi
        sleep 0.05
    done
}
# start_xvfb WORK [WxH]: an X server on a display it picks itself (so that
# runs never meet), kept with -noreset (else it resets and refuses clients
# each time its last one leaves). Its pid goes into pids; DISPLAY is
# exported once the server answers.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${2:-800x600}x24" -nolisten tcp -noreset \
        3>"$1/display" 2>"$1/xvfb.log" &
    pids+=($!)
    poll cat "$1/display" >/dev/null
    DISPLAY=:$(head -n1 "$1/display")
    export DISPLAY
    poll xdpyinfo >/dev/null || { cat "$1/xvfb.log" >&2; return 1; }
}
