#!/bin/sh
# Runs the history benchmarks: a kept set of a drive of 1 000 000 folders
# written, read and compared with the current results, and its size next to
# the plain result files and to zstd of the plain files.
# Usage: bench/history/run.sh [BUILD_DIR]
set -e
build=${1:-build}
bin="$build/bench/history/bench_history"
if [ ! -x "$bin" ]; then
    cmake --build "$build" --target bench_history >/dev/null
fi
if [ $# -gt 0 ]; then shift; fi
exec "$bin" "$@"
