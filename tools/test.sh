#!/bin/sh
# Builds the program and runs every test; fails if any test fails.
set -eu
cd "$(dirname "$0")/.."
tools/build.sh
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"
