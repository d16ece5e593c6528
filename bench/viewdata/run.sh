#!/bin/sh
# Runs the view-data benchmark: a refresh of the listing, the bar rows and the
# pie lists of a folder of 100 000 files and 1 000 subfolders on a drive of
# 1 000 000 analysed folders, next to GNU ls on the same folder.
# Usage: bench/viewdata/run.sh [BUILD_DIR] [WORK_FOLDER]
set -e
build=${1:-build}
bin="$build/bench/viewdata/bench_viewdata"
if [ ! -x "$bin" ]; then
    cmake --build "$build" --target bench_viewdata >/dev/null
fi
if [ $# -gt 0 ]; then shift; fi
exec "$bin" "$@"
