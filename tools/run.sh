#!/bin/sh
# Builds the program and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/build.sh
exec "${BUILD_DIR:-build}/src/glyphsmith"
