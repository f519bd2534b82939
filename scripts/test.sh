#!/usr/bin/env bash
# Builds Kestrane with AddressSanitizer + UndefinedBehaviorSanitizer and runs the
# whole test suite offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_deps.sh

build=${KESTRANE_TEST_BUILD_DIR:-build-test}
export CCACHE_DIR=${CCACHE_DIR:-$PWD/.cache/ccache}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON -DKESTRANE_BUILD_BENCH=ON
cmake --build "$build" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure -j"$(nproc)"
