#!/usr/bin/env bash
# Coverage-guided fuzzing of every parser (clang + libFuzzer, ASan + UBSan).
#
#   scripts/fuzz.sh [-t SECONDS] [-m] [-n] [TARGET...]
#
# Builds the fuzz targets of tests/fuzz in build-fuzz, runs each (all by default) for
# SECONDS (default 180) on one job, starting from the committed corpus, and prints
# executions, coverage and corpus size per target. New inputs are kept in
# build-fuzz/corpus/<target>; with -m they are merged (minimised) back into
# tests/fuzz/corpus/<target> for committing. Crashes and hangs are written to
# build-fuzz/artifacts/<target>/; copy each into tests/fuzz/corpus/<target>/ as
# regression-<what> once fixed, and the ordinary test suite replays it. -n runs what
# is already built without building.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=180
merge=0
build_first=1
while getopts "t:mn" opt; do
    case $opt in
    t) seconds=$OPTARG ;;
    m) merge=1 ;;
    n) build_first=0 ;;
    *) echo "usage: $0 [-t SECONDS] [-m] [-n] [TARGET...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

build=${KESTRANE_FUZZ_BUILD_DIR:-build-fuzz}
all=$(sed -n '/^set(KESTRANE_FUZZ_TARGETS/,/)/p' tests/fuzz/CMakeLists.txt | tr -d '()' | tr -s ' \n' '\n' |
    grep -v -e '^set$' -e '^KESTRANE_FUZZ_TARGETS$' -e '^$')
all="$all $(sed -n 's/.*list(APPEND KESTRANE_FUZZ_TARGETS \([a-z_]*\)).*/\1/p' tests/fuzz/CMakeLists.txt)"
targets=${*:-$all}

if [ $build_first -eq 1 ]; then
    export CCACHE_DIR=${CCACHE_DIR:-$PWD/.cache/ccache}
    CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKESTRANE_FUZZ=ON -DKESTRANE_BUILD_BENCH=OFF -DKESTRANE_BUILD_TOOLS=OFF >/dev/null
    cmake --build "$build" -j"${KESTRANE_FUZZ_BUILD_JOBS:-2}" --target $(printf 'fuzz_%s ' $targets)
fi

# Qt keeps a few process-wide objects alive to the end; leaks are not what this hunts.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

printf '%-18s %12s %8s %8s %10s %8s  %s\n' target executions cov ft corpus crashes log
status=0
for t in $targets; do
    seeds=tests/fuzz/corpus/$t
    work=$build/corpus/$t
    artifacts=$build/artifacts/$t
    log=$build/fuzz-$t.log
    mkdir -p "$work" "$artifacts"
    set +e
    "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" >"$log" 2>&1
    rc=$?
    set -e
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$last")
    crashes=$(find "$artifacts" -type f | wc -l)
    printf '%-18s %12s %8s %8s %10s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$crashes" "$log"
    if [ $rc -ne 0 ] || [ "$crashes" -ne 0 ]; then
        status=1
        continue
    fi
    if [ $merge -eq 1 ]; then
        fresh=$build/merged/$t
        rm -rf "$fresh" && mkdir -p "$fresh"
        "$build/tests/fuzz/fuzz_$t" -merge=1 -max_len=8192 -timeout=10 "$fresh" "$seeds" "$work" >>"$log" 2>&1
        # Seeds and regression cases stay; what fuzzing found is replaced by the minimised set.
        # (libFuzzer names a merged input by the SHA-1 of its bytes.)
        find "$seeds" -type f -name 'found-*' -delete
        kept=$(find "$seeds" -type f -exec sha1sum {} + | cut -d' ' -f1)
        for f in "$fresh"/*; do
            grep -qx "$(basename "$f")" <<<"$kept" || cp "$f" "$seeds/found-$(basename "$f")"
        done
    fi
done
exit $status
