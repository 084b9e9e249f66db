#!/bin/sh
# Installs what is missing and builds into build/ (or $BUILD_DIR).
set -eu
cd "$(dirname "$0")/.."
tools/bootstrap.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j"$(nproc)"
