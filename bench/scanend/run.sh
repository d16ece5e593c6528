#!/usr/bin/env bash
# The end of a drive scan in the main window, 1 000 000 folders against one:
# milliseconds from the walk's lists being ready until the views show them,
# and until the result files are stored, median of ROUNDS runs; the files of
# the set (the three lists, the extra files, the manifest) must be
# byte-identical to a plain save's. Usage: bench/scanend/run.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
bin="$build/bench/scanend/bench_scan_end"
[ -x "$bin" ] || cmake --build "$build" --target bench_scan_end >/dev/null
rounds=${ROUNDS:-3}
echo "End of a drive scan in the window (ms; median of $rounds runs)"
printf '%-16s %14s %14s %10s\n' "folders" "shown" "stored" "identical"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for ((r = 1; r <= rounds; r++)); do
  for folders in 1 1000000; do
    "$bin" "$folders" 2>/dev/null >>"$results" || echo "$folders|0|0|0" >>"$results"
  done
done
median() { sort -n | awk -v n="$rounds" 'NR == int((n + 1) / 2)'; }
for folders in 1 1000000; do
  rows=$(grep "^$folders|" "$results")
  shown=$(cut -d'|' -f2 <<<"$rows" | median)
  stored=$(cut -d'|' -f3 <<<"$rows" | median)
  same=$(awk -F'|' '$4 != 1 { bad = 1 } END { print bad ? "no" : "yes" }' <<<"$rows")
  printf '%-16s %14s %14s %10s\n' "$folders" "$shown" "$stored" "$same"
done
