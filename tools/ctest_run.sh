# shellcheck shell=bash
# Sourced by the test commands: runs ctest in a build folder and notes the
# tests it skipped; report_skips lists them at the end and, in CI (CI=true or
# GLYPHSMITH_NO_SKIPS=1), fails the run if there are any.
skipped=()

run_ctest() {
    local dir=$1
    shift
    local log
    log=$(mktemp)
    local status=0
    (cd "$dir" && ctest --output-on-failure "$@") 2>&1 | tee "$log" || status=$?
    while read -r name; do skipped+=("$dir: $name"); done < <(
        sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log")
    rm -f "$log"
    return "$status"
}

report_skips() {
    [ ${#skipped[@]} -eq 0 ] && return 0
    echo "Skipped tests:"
    printf '  %s\n' "${skipped[@]}"
    if [ "${CI:-}" = true ] || [ "${GLYPHSMITH_NO_SKIPS:-}" = 1 ]; then
        echo "FAIL: tests were skipped" >&2
        return 1
    fi
}
