#!/usr/bin/env bash
# Renders the documentation screenshots (docs/*.png) with simulated cameras under a
# virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(scripts/build_release.sh screenshot_tour)
display=:${KESTRANE_XVFB_DISPLAY:-96}
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$build/tools/screenshot_tour" docs
DISPLAY=$display "$build/tools/screenshot_tour" docs en
