#!/bin/sh
# Runs the result-store benchmarks: save and load of the result files of a
# drive of 1 000 000 folders next to cat of the same files, and the rescan
# merge next to the plain search. Usage: bench/store/run.sh [BUILD_DIR]
set -e
build=${1:-build}
bin="$build/bench/store/bench_store"
if [ ! -x "$bin" ]; then
    cmake --build "$build" --target bench_store >/dev/null
fi
if [ $# -gt 0 ]; then shift; fi
exec "$bin" "$@"
