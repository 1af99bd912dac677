#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test: the fuzz targets briefly first (hostile input), then the test suite. Real-window
# tests run on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Hostile input: every fuzz target for 15 seconds (built with clang in build-fuzz).
scripts/fuzz.sh 15

build_dir=${ZV_TEST_BUILD_DIR:-build-test}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=ON >/dev/null
cmake --build "$build_dir"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cd "$build_dir"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 600 -j2
