#!/bin/bash
# Builds the program and runs every test three ways; fails if any test fails:
#   build/       the ordinary build: unit, window, kill, end-to-end and
#                package tests;
#   build-asan/  the same suite under AddressSanitizer and UBSan, built with
#                CMake's default generator (Make), as a distribution would;
#   build-fuzz/  the slot file and journal decoders under libFuzzer, each for a
#                bounded time.
# A skipped test (a tool missing, mounting refused) is listed at the end; in
# CI (CI=true) any skipped test fails the run.
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
cd "$(dirname "$0")/.."
. tools/ctest_run.sh

tools/build.sh
run_ctest build -j"$(nproc)"

GLYPHSMITH_GENERATOR='' BUILD_DIR=build-asan tools/build.sh -DGLYPHSMITH_SANITIZE=ON \
    -DGLYPHSMITH_BENCHMARKS=OFF
run_ctest build-asan -j"$(nproc)" -LE package

CXX=clang++ cmake -S . -B build-fuzz -DGLYPHSMITH_FUZZ=ON
cmake --build build-fuzz -j"$(nproc)"
run_ctest build-fuzz -V

report_skips
