# shellcheck shell=bash
# Sourced first by every script of the project: it stops at the first
# command that fails, a variable that is not set, or a failed stage of a
# pipe, and says which command failed, where, and how.
set -Eeuo pipefail
trap 'echo "${BASH_SOURCE[0]}:${LINENO}: \"${BASH_COMMAND}\" failed with status $?" >&2' ERR
