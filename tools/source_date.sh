# shellcheck shell=bash
# Sourced by the build commands, from the checkout's top: the commit's time
# stands for "now" in everything the build makes (the resources, the
# packages' file times), so that two builds of one commit give the same
# bytes, as reproducible-builds.org's SOURCE_DATE_EPOCH asks. One set by the
# caller is kept; outside a Git checkout, the top CMakeLists.txt's time.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || stat -c %Y CMakeLists.txt)
fi
export SOURCE_DATE_EPOCH
