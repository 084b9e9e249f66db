#!/bin/sh
# Builds the program and runs every test three ways; fails if any test fails:
#   build/       the ordinary build: unit, widget, kill and end-to-end tests;
#   build-asan/  the same suite under AddressSanitizer and UBSan;
#   build-fuzz/  the slot file decoder under libFuzzer for a bounded time.
set -eu
cd "$(dirname "$0")/.."
tools/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")

BUILD_DIR=build-asan tools/build.sh -DGLYPHSMITH_SANITIZE=ON
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

CXX=clang++ cmake -S . -B build-fuzz -DGLYPHSMITH_FUZZ=ON
cmake --build build-fuzz -j"$(nproc)"
(cd build-fuzz && ctest -V)
