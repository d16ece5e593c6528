#!/usr/bin/env bash
# The cost of exclude rules in a drive scan: warm whole scans of the
# 1 000 000-file tree by a baseline scanner (BASE, e.g. a build of the
# branch before), by this build with no rules and by this build with 20
# patterns that match nothing in the tree (so that every run does the same
# listing work and only the matching differs), alternating round by round.
# Usage: BASE=/path/to/old/cobaltquarry-scan bench/scan/exclude.sh [BUILD_DIR]
#   ROUNDS=5 FILES=1000000 SEED=99
# With INSTRUCTIONS=1 (FILES=300000 is enough) it also counts the user-space
# instructions of one scan of each under valgrind's callgrind: a count that
# other programs' load does not change, where wall times on a busy machine
# differ by more than the matching costs (and where the machine gives no
# hardware counters to perf).
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
if [ -n "${INSTRUCTIONS:-}" ]; then
  instructions() {
    eval "valgrind --tool=callgrind --callgrind-out-file=/dev/null $1" 2>&1 >/dev/null |
      sed -n 's/.*Collected : //p'
  }
  base_i=$(instructions "$BASE --out $out \"\$T\"")
  none_i=$(instructions "$scan --out $out \"\$T\"")
  rules_i=$(instructions "$scan --out $out $rules \"\$T\"")
  echo "instructions: baseline $base_i, no rules $none_i, 20 patterns $rules_i;" \
    "20 patterns / no rules $(python3 -c "print(round($rules_i / $none_i, 3))")"
fi
python3 "$root/bench/table.py" "$times" \
  "Warm scan of $(basename "$T") (median of $rounds alternating rounds)" --ratios
