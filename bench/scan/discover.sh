#!/usr/bin/env bash
# The cost of collecting the Discover data (and the other extra files) in a
# drive scan: warm whole scans of the 1 000 000-file tree by this build's
# scanner against a baseline scanner (BASE, e.g. a build of the branch
# before), alternating round by round, then the bytes the scan stores
# beside its lists.
# Usage: BASE=/path/to/old/cobaltquarry-scan bench/scan/discover.sh [BUILD_DIR]
#   ROUNDS=5 FILES=1000000 SEED=99
set -euo pipefail
. "$(dirname "$0")/../common.sh" scan "${1:-build}"
rounds=${ROUNDS:-5}
[ -n "${BASE:-}" ] && [ -x "$BASE" ] || { echo "discover: set BASE to a baseline scanner" >&2; exit 1; }
T=$(bench_tree "${FILES:-1000000}" "${SEED:-99}")
export T
out=$(mktemp -d)
times=$(mktemp)
trap 'rm -rf "$out" "$times"' EXIT
"$scan" "$T" >/dev/null  # warm the cache
echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= rounds; r++)); do
  timed "baseline scanner" warm "$BASE --out $out \"\$T\""
  timed "cobaltquarry-scan" warm "$scan --out $out \"\$T\""
done
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/table.py" "$times" \
  "Warm scan of $(basename "$T") (median of $rounds alternating rounds)" --ratios
"$build/bench/scan/cq_discover_bytes" "$T"
