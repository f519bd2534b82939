#!/usr/bin/env bash
# Times the preview's frame path (bench_preview) next to ffmpeg's lut3d filter
# (trilinear, 2 threads) on 1280x720 frames, and prints the ratio.
#   bench/compare_ffmpeg.sh [build-dir]
# Needs ffmpeg (Debian: apt-get install ffmpeg) and python3.
set -euo pipefail

build=${1:-build}
bench="$build/bench/bench_preview"
frames=600
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -x "$bench" ] || { echo "no $bench; build the bench_preview target first" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed" >&2; exit 1; }

# A 33-point cube with a mild grade, like the benchmark's own.
python3 - "$work/grade.cube" <<'PY'
import random, sys
random.seed(5)
n = 33
with open(sys.argv[1], "w") as f:
    f.write("LUT_3D_SIZE %d\n" % n)
    for b in range(n):
        for g in range(n):
            for r in range(n):
                v = [min(1, max(0, c / (n - 1) + (random.random() - 0.5) * 0.05)) for c in (r, g, b)]
                f.write("%.6f %.6f %.6f\n" % tuple(v))
PY

ffmpeg_rtime() { # filter chain -> seconds of wall time for $frames frames
  ffmpeg -hide_banner -nostats -benchmark -f lavfi -i "testsrc2=size=1280x720:rate=30" -frames:v $frames \
    -filter_threads 2 -vf "$1" -f null - 2>&1 | sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | tail -1
}

"$bench" --benchmark_filter='FramePath|LutLookup' --benchmark_min_time=1 --benchmark_format=csv \
  2>/dev/null | grep '^"BM_' > "$work/ours.csv"
cat "$work/ours.csv" | cut -d, -f1,3 | sed 's/"//g; s/,/: /; s/$/ ms/'

base=$(ffmpeg_rtime "format=rgb24")
lut=$(ffmpeg_rtime "format=rgb24,lut3d=file=$work/grade.cube:interp=trilinear")
python3 - "$base" "$lut" "$frames" "$work/ours.csv" <<'PY'
import csv, sys
base, lut, frames = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
per_frame = (lut - base) / frames * 1000.0
ours = {row[0]: float(row[2]) for row in csv.reader(open(sys.argv[4]))}
print("ffmpeg lut3d (trilinear, 2 threads): %.2f ms/frame" % per_frame)
for name in ("BM_FramePathNaturalLut/real_time", "BM_FramePathNoiseLut/real_time"):
    if name in ours:
        print("%s / ffmpeg lut3d: %.2f" % (name.split("/")[0], ours[name] / per_frame))
PY
