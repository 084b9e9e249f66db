# Sourced by the end-to-end tests. poll runs a command every 50 ms until it
# prints something, and prints that; after POLL_SECONDS (10 unless set) it
# says what it waited for and fails.
poll() {
    local out
    for _ in $(seq $((${POLL_SECONDS:-10} * 20))); do
        out=$("$@" 2>/dev/null || true)
        [ -n "$out" ] && { printf '%s' "$out"; return 0; }
        sleep 0.05
    done
    echo "timed out waiting for: $*" >&2
    return 1
}
