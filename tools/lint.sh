#!/bin/sh
# Lint: clang-tidy with the repository's .clang-tidy over the project's own sources (the runtime, the game,
# the examples and the tools; not the tests, benchmarks or fuzz targets, nor generated files), using the
# compile commands of a configured build. Prints every finding and fails when there is one.
# Usage: tools/lint.sh [build folder] [file regex]   (JOBS sets the parallel runs, 2 by default)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
only=${2:-}
jobs=${JOBS:-2}
if [ ! -f "$build/compile_commands.json" ]; then
    echo "lint: $build/compile_commands.json is missing: configure the build first (make configure)" >&2
    exit 2
fi
sources="^$(pwd)/(runtime|stream|system|graphics|pixmap|audio|platform|console|script|startup|game|tools|examples)/.*\.(c|cpp)$"
[ -n "$only" ] && sources="$only"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# run-clang-tidy exits non-zero only when clang-tidy itself fails; the findings are read from its output.
# Colours are taken out so that the findings can be matched.
run-clang-tidy -p "$build" -j "$jobs" -quiet "$sources" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' >"$log" || true
if grep -qE ': (warning|error):|^Error|Traceback' "$log"; then
    grep -vE '^(clang-tidy|[0-9]+ warnings? (and [0-9]+ errors? )?generated|Suppressed [0-9]+ warnings|Use -header-filter|Running clang-tidy)' "$log" >&2
    echo "lint: clang-tidy has findings (above)" >&2
    exit 1
fi
echo "lint: no findings"
