#!/bin/sh
# Builds the libFuzzer programs with clang under AddressSanitizer + UndefinedBehaviorSanitizer (build
# folder build-fuzz/) and runs each target for a bounded time, seeded from fuzz/corpus/<target>/.
#
# Inputs the fuzzer finds interesting collect in fuzz/corpus-work/<target>/ (not committed; copy a few
# good ones to fuzz/corpus/<target>/ by hand). An input that crashes a target, leaks, runs out of memory
# or hangs is written to fuzz/regressions/<target>/: commit it with the fix, and the normal test suite
# (fuzz_regressions_test) replays it from then on.
#
# A target whose dependencies leak by themselves names what to ignore in fuzz/suppressions/<target>.lsan
# (LeakSanitizer's suppression format); the file says why.
#
# Settings: FUZZ_SECONDS (per target, default 60), FUZZ_TARGETS (default: every folder of fuzz/corpus/),
# FUZZ_BUILD (default build-fuzz), JOBS (build jobs, default 2), FUZZ_ARGS (more libFuzzer options).
set -eu
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-2}
targets=${FUZZ_TARGETS:-$(cd fuzz/corpus && ls)}
if [ -z "$(echo $targets)" ]; then
    echo "No fuzz target to run (FUZZ_TARGETS is empty and fuzz/corpus/ has no folders)." >&2
    exit 1
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTA_FUZZ=ON -DVANTA_TESTS=OFF -DVANTA_BENCH=OFF >/dev/null
for target in $targets; do
    cmake --build "$build" -j "$jobs" --target "fuzz_$target"
done

failed=""
for target in $targets; do
    mkdir -p "fuzz/corpus-work/$target" "fuzz/regressions/$target"
    echo "== fuzz_$target: $seconds s"
    suppressions=""
    if [ -f "fuzz/suppressions/$target.lsan" ]; then
        suppressions="suppressions=$(pwd)/fuzz/suppressions/$target.lsan"
    fi
    # shellcheck disable=SC2086
    if ! LSAN_OPTIONS="${LSAN_OPTIONS:-}${LSAN_OPTIONS:+:}$suppressions" "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="fuzz/regressions/$target/" ${FUZZ_ARGS:-} \
        "fuzz/corpus-work/$target" "fuzz/corpus/$target"; then
        failed="$failed $target"
    fi
done

if [ -n "$failed" ]; then
    echo "Fuzz targets failed:$failed; the inputs are in fuzz/regressions/<target>/" >&2
    exit 1
fi
echo "Every fuzz target ran clean."
