#!/bin/bash
# Builds the program and starts it.
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
cd "$(dirname "$0")/.."
tools/build.sh
exec "${BUILD_DIR:-build}/src/glyphsmith"
