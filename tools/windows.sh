#!/bin/bash
# Builds the program for 64-bit Windows on Debian 12 and tests it under Wine:
#   1. installs MinGW-w64, Wine, NSIS and what else is missing;
#   2. builds Qt for Windows once (tools/windows-qt.sh; cached outside the
#      checkout, about 20 minutes the first time, seconds after that);
#   3. builds into build-windows/ (or $BUILD_DIR), makes the portable zip
#      and the installer in its package/ (their names in the README);
#   4. runs the Windows tests under Wine, the installer end to end included.
# A skipped test fails the run in CI, as in tools/test.sh.
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
cd "$(dirname "$0")/.."
. tools/ctest_run.sh
tools/bootstrap.sh windows
. tools/source_date.sh
qt=$(tools/windows-qt.sh)
build=${BUILD_DIR:-build-windows}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build "$build" -j"$(nproc)"
cmake --build "$build" --target windows_package
run_ctest "$build" -j"$(nproc)"
report_skips
