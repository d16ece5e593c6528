#!/usr/bin/env bash
# Find benchmarks: the folder find over a stored drive of 1 000 000 folders
# (cq_folder_find_bench), then the file find of cobaltquarry-scan --find
# against the scanner's own warm scan of the same generated tree,
# alternating the two round by round.
# Usage: bench/find/run.sh [BUILD_DIR]
#   ROUNDS=5 FILES=1000000 SEED=99 PATTERN='*.log'
set -euo pipefail
. "$(dirname "$0")/../common.sh" find "${1:-build}"
bench="$build/bench/find/cq_folder_find_bench"
[ -x "$bench" ] || { echo "find: $bench not built" >&2; exit 1; }
rounds=${ROUNDS:-5}
files=${FILES:-1000000}
pattern=${PATTERN:-*.log}
out=$(mktemp -d)
times=$(mktemp)
trap 'rm -rf "$out" "$times"' EXIT

echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bench" 1000000 9

T=$(bench_tree "$files" "${SEED:-99}")
export T
# Warm the cache: every inode and directory block read once.
"$scan" --top 1 "$T" >/dev/null
: >"$times"
for ((r = 1; r <= rounds; r++)); do
  timed "cobaltquarry-scan (scan)" warm "$scan --top 1 \"\$T\""
  timed "cobaltquarry-scan --find '$pattern' --type f" warm "$scan --find '$pattern' --type f \"\$T\""
  timed "cobaltquarry-scan --find '$pattern'" warm "$scan --find '$pattern' \"\$T\""
done
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/table.py" "$times" \
  "Find below $files files against the scan (median of $rounds alternating rounds)" --ratios
