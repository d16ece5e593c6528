#!/usr/bin/env bash
# The treemap panel over 1 000 000 stored folders: ms from View > Treemap
# until the root's treemap is drawn (first picture) and until the whole
# picture is, ms of a window resize until it is
# drawn again, ms of one layout and drawing, and the MiB the shown panel
# adds to the window without it. ROUNDS runs (default 5), each in a process
# of its own; medians (memory: the largest).
# Usage: bench/treemap/run.sh [BUILD_DIR]   (ROUNDS=5, FOLDERS=1000000)
set -euo pipefail
. "$(dirname "$0")/../common.sh" treemap "${1:-build}"
bench="$build/bench/treemap/bench_treemap"
[ -x "$bench" ] || cmake --build "$build" --target bench_treemap >/dev/null
rounds=${ROUNDS:-5}
results=$(mktemp)
trap 'rm -f "$results"' EXIT
echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= rounds; r++)); do
  "$bench" "${FOLDERS:-1000000}" 2>/dev/null >>"$results" || echo "run $r failed" >&2
done
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$results" <<'PY'
import statistics, sys
rows = [l.strip().split("|") for l in open(sys.argv[1]) if l.strip()]
col = lambda i: statistics.median(float(r[i]) for r in rows)
print("Treemap panel, %s folders stored (median of %d runs)" % (f"{int(rows[0][0]):,}", len(rows)))
print("%10s %10s %10s %10s %8s %12s %10s %10s %11s" % (
    "show ms", "whole ms", "resize ms", "redraw ms", "tiles", "MiB above", "show cpu",
    "whole cpu", "redraw cpu"))
print("%10.1f %10.1f %10.1f %10.1f %8.0f %12.1f %10.1f %10.1f %11.1f" % (
    col(1), col(8), col(2), col(3), col(4), max(int(r[5]) for r in rows) / 1024, col(6),
    col(9), col(7)))
print("(show: the first picture, a large drive's without its smallest folders; whole: the")
print("whole picture; cpu: processor ms of the window's thread)")
PY
