#!/bin/bash
# Every shell script of the project passes ShellCheck, following what each
# sources.
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
cd "$(dirname "$0")/.."
command -v shellcheck >/dev/null || { echo "SKIP: shellcheck is not installed"; exit 77; }
mapfile -t scripts < <(find tools tests packaging bench .ci -type f \( -name '*.sh' -o -path .ci/run \) | sort)
shellcheck -x "${scripts[@]}"
echo "ok ${#scripts[@]} scripts"
