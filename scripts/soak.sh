#!/usr/bin/env bash
# Soak: the seeded random session of tests/test_monkey.cpp, STEPS user actions long
# (default 10000), over four simulated cameras with faults switched on at random.
# Prints resident memory, file descriptors, timers and HID handles every 1000 steps,
# and fails on growth beyond where they levelled off or a camera that no longer
# answers. Not part of the test suite (it runs for a long time).
#
#   scripts/soak.sh [STEPS [SEED]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRANE_TEST_BUILD_DIR:-build-test}
export CCACHE_DIR=${CCACHE_DIR:-$PWD/.cache/ccache}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target test_monkey
export QT_QPA_PLATFORM=offscreen
# A small quarantine: AddressSanitizer otherwise keeps up to 256 MiB of freed memory
# resident, which looks like growth over the first thousands of steps.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:quarantine_size_mb=8}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-14400000} # a soak runs long
export KESTRANE_SOAK=${1:-10000}
export KESTRANE_MONKEY_SEED=${2:-2026}
time "$build/tests/test_monkey"
