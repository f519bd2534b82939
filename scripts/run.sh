#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Kestrane with simulated
# cameras. Extra arguments replace the default --simulate (e.g.
# scripts/run.sh --simulate=RV-K310A-WU,RV-T782-KB). Without a display the tool runs
# under Xvfb for a while; the script then reports the log and a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(scripts/build_release.sh kestrane kestrane-cli)

args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--simulate)

echo "== kestrane-cli ${args[*]} list"
"$build/src/kestrane-cli" "${args[@]}" list || true

if [ -n "${DISPLAY:-}" ] && [ -z "${KESTRANE_HEADLESS:-}" ]; then
  exec "$build/src/kestrane" "${args[@]}"
fi

# No display: run under a virtual one, look at it, and report.
seconds=${KESTRANE_RUN_SECONDS:-12}
shot="$PWD/$build/kestrane-screenshot.png"
display=:${KESTRANE_XVFB_DISPLAY:-97}
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$build/src/kestrane" "${args[@]}" 2>"$build/kestrane-stderr.log" &
app=$!
sleep "$seconds"
DISPLAY=$display import -window root "$shot" 2>/dev/null || true
if kill -0 $app 2>/dev/null; then
  state="running"
  kill $app
  wait $app 2>/dev/null || true
else
  wait $app && state="exited (0)" || state="exited ($?)"
fi
log=$(ls -t "$build"/src/logs/Kestrane_*.log 2>/dev/null | head -1)
echo "== kestrane ${args[*]} ran headless under Xvfb for ${seconds}s: $state"
echo "   log:        ${log:-none}"
echo "   screenshot: $shot"
[ -n "$log" ] && { echo "== last log records"; tail -n 15 "$log"; }
