#!/usr/bin/env bash
# How a whole scan grows with the tree: time and peak memory of
# cobaltquarry-scan --out on generated trees of growing size, warm cache,
# with the growth per million files between sizes (both should stay about
# constant: linear growth). Usage: bench/scan/growth.sh [BUILD_DIR]
#   SIZES="100000 1000000 3000000" ROUNDS=3 SEED=99
set -euo pipefail
. "$(dirname "$0")/../common.sh" growth "${1:-build}"
sizes=${SIZES:-"100000 1000000 3000000"}
rounds=${ROUNDS:-3}
seed=${SEED:-99}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
rows=()
for files in $sizes; do
  T=$(bench_tree "$files" "$seed")
  "$scan" "$T" >/dev/null
  for ((r = 1; r <= rounds; r++)); do
    /usr/bin/time -f "%e %M" -o "$out/.t" "$scan" --out "$out" "$T" >/dev/null
    rows+=("$files $(tail -1 "$out/.t")")
  done
done
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%s\n' "${rows[@]}" | python3 -c '
import sys, statistics
runs = {}
for line in sys.stdin:
    files, secs, kb = line.split()
    runs.setdefault(int(files), []).append((float(secs), int(kb) / 1024))
print("%10s %8s %9s %8s %10s" % ("files", "seconds", "peak MiB", "s per M", "MiB per M"))
prev = None
for files in sorted(runs):
    t = statistics.median(s for s, _ in runs[files])
    m = max(k for _, k in runs[files])
    step = ""
    if prev:
        dm = (files - prev[0]) / 1e6
        step = f" {(t - prev[1]) / dm:8.2f} {(m - prev[2]) / dm:10.1f}"
    print(f"{files:>10,} {t:8.2f} {m:9.1f}" + step)
    prev = (files, t, m)
'
