#!/usr/bin/env bash
# The program's start with stored results of a drive of 1 000 000 folders
# against one of a single folder: milliseconds from the start (the splash
# included) and after the splash's pause until the main window answers
# input, ROUNDS runs each, alternating. Usage: bench/window/run.sh [BUILD_DIR]
set -euo pipefail
. "$(dirname "$0")/../common.sh" window "${1:-build}"
bin="$build/bench/window/bench_window_start"
[ -x "$bin" ] || cmake --build "$build" --target bench_window_start >/dev/null
rounds=${ROUNDS:-3}
echo "Start of the main window (ms; median of $rounds runs)"
printf '%-22s %12s %18s\n' "stored folders" "from start" "after the splash"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for ((r = 1; r <= rounds; r++)); do
  for folders in 1 1000000; do
    "$bin" "$folders" 2>/dev/null >>"$results"
  done
done
for folders in 1 1000000; do
  grep "^$folders|" "$results" | sort -t'|' -k2 -n |
    awk -F'|' -v n="$rounds" -v f="$folders" \
      'NR == int((n + 1) / 2) { printf "%-22s %12d %18d\n", f, $2, $3 }'
done
