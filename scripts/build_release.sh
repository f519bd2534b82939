#!/usr/bin/env bash
# Installs what is missing and builds the given targets in the release build
# directory (build-release, or KESTRANE_RUN_BUILD_DIR). Prints the directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install_deps.sh >&2
build=${KESTRANE_RUN_BUILD_DIR:-build-release}
export CCACHE_DIR=${CCACHE_DIR:-$PWD/.cache/ccache}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKESTRANE_BUILD_TESTS=OFF -DKESTRANE_BUILD_BENCH=OFF >&2
cmake --build "$build" -j"$(nproc)" --target "$@" >&2
echo "$build"
