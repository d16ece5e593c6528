#!/usr/bin/env bash
# The cost of exclude rules in a drive scan: warm whole scans of the
# 1 000 000-file tree by a baseline scanner (BASE, e.g. a build of the
# branch before), by this build with no rules and by this build with 20
# patterns that match nothing in the tree (so that every run does the same
# listing work and only the matching differs), alternating round by round.
# Usage: BASE=/path/to/old/cobaltquarry-scan bench/scan/exclude.sh [BUILD_DIR]
#   ROUNDS=5 FILES=1000000 SEED=99
set -euo pipefail
. "$(dirname "$0")/../common.sh" exclude "${1:-build}"
rounds=${ROUNDS:-5}
[ -n "${BASE:-}" ] && [ -x "$BASE" ] || { echo "exclude: set BASE to a baseline scanner" >&2; exit 1; }
T=$(bench_tree "${FILES:-1000000}" "${SEED:-99}")
export T
out=$(mktemp -d)
times=$(mktemp)
trap 'rm -rf "$out" "$times"' EXIT
# Stars and brackets among them: the patterns users keep for build trees,
# caches and version control, none of which the generated tree has.
rules=""
for p in node_modules .git '*.o' '*~' '*.swp' '*.pyc' __pycache__ '*/.cache/*' /proc '*.tmp' \
  lost+found .snapshot '*.class' target '*/build/*.obj' Thumbs.db '*.bak[0-9]' 'core.[0-9]*' \
  '*/node_modules/*' '[#]*#'; do
  rules+=" --exclude '$p'"
done
"$scan" "$T" >/dev/null  # warm the cache
echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= rounds; r++)); do
  timed "baseline scanner" warm "$BASE --out $out \"\$T\""
  timed "no rules" warm "$scan --out $out \"\$T\""
  timed "20 patterns" warm "$scan --out $out $rules \"\$T\""
done
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/table.py" "$times" \
  "Warm scan of $(basename "$T") (median of $rounds alternating rounds)" --ratios
