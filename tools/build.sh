#!/bin/bash
# Installs what is missing and builds into build/ (or $BUILD_DIR), with Ninja
# or the generator GLYPHSMITH_GENERATOR names (empty: CMake's default).
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
cd "$(dirname "$0")/.."
tools/bootstrap.sh
. tools/source_date.sh
build=${BUILD_DIR:-build}
generator=${GLYPHSMITH_GENERATOR-Ninja}
cmake -S . -B "$build" ${generator:+-G "$generator"} -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j"$(nproc)"
