#!/usr/bin/env bash
# Whole-scan benchmark: cobaltquarry-scan --out (and --export) against du,
# ncdu and gdu and the floor (a bare walk that only lists and looks up, at
# 2, 8 and 32 threads) on generated trees, alternating the programs round
# by round. After each tree's table come the ratios the scanner is held to:
# the scan within 1.10x of the best floor warm and 1.15x cold, the export
# cold within 1.25x of the scan's cold time.
# Each program runs cold (page cache dropped just before, when this may
# drop it) and then warm (right after its own cold run, or after warming
# runs when the cache cannot be dropped); then the benchmark of the steps
# after the walk.
# Usage: bench/scan/run.sh [BUILD_DIR]
#   ROUNDS=3 TREES="100000 1000000" SEED=99 MODES="cold warm" FLOORS="2 8 32"
#   STEPS=0 leaves out the benchmark of the steps after the walk.
set -euo pipefail
. "$(dirname "$0")/../common.sh" scan "${1:-build}"
floor="$build/bench/scan/cq_floor_walk"
steps="$build/bench/scan/scan_steps_bench"
rounds=${ROUNDS:-3}
trees=${TREES:-"100000 1000000"}
seed=${SEED:-99}
floors=${FLOORS:-"2 8 32"}
[ -x "$floor" ] || { echo "scan: $floor not built" >&2; exit 1; }
out=$(mktemp -d)
times=$(mktemp)
trap 'rm -rf "$out" "$times"' EXIT
bench_modes "${MODES:-cold warm}"

# name|command; every command scans the tree given as $T.
peers=("cobaltquarry-scan --out|$scan --out $out \"\$T\""
  "cobaltquarry-scan --export|$scan --export $out/export.json \"\$T\"")
command -v du >/dev/null && peers+=("du -sx --apparent-size|du -sx --apparent-size \"\$T\"")
command -v ncdu >/dev/null && peers+=("ncdu -x -0 -o /dev/null|ncdu -x -0 -o /dev/null \"\$T\"")
command -v gdu >/dev/null && peers+=("gdu -n -p -x|gdu -n -p -x \"\$T\"")
for n in $floors; do
  peers+=("floor, $n threads|$floor -t $n \"\$T\"")
done


for files in $trees; do
  T=$(bench_tree "$files" "$seed")
  export T
  if ! $cold; then
    # Warm the cache: every inode and directory block read once.
    du -sx "$T" >/dev/null 2>&1 || true
    "$floor" "$T" >/dev/null
  fi
  echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
  : >"$times"
  for ((r = 1; r <= rounds; r++)); do
    for p in "${peers[@]}"; do
      name=${p%%|*}
      cmd=${p#*|}
      if $cold; then
        drop_caches
        timed "$name" cold "$cmd"
      fi
      $warm && timed "$name" warm "$cmd"
    done
  done
  echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
  python3 "$root/bench/table.py" "$times" \
    "Whole scan of $files files (median of $rounds alternating rounds)" --ratios
  python3 - "$times" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    name, mode, rest = line.rstrip("\n").split("|")
    runs.setdefault((name, mode), []).append(float(rest.split()[0]))
med = lambda name, mode: statistics.median(runs[(name, mode)])
scan, export = "cobaltquarry-scan --out", "cobaltquarry-scan --export"
for mode, goal in (("warm", 1.10), ("cold", 1.15)):
    floors = [med(n, m) for n, m in runs if m == mode and n.startswith("floor")]
    if (scan, mode) in runs and floors:
        r = med(scan, mode) / min(floors)
        print(f"goal {mode}: scan / best floor {r:.2f} (at most {goal:.2f}: "
              f"{'met' if r <= goal else 'NOT met'})")
if (export, "cold") in runs and (scan, "cold") in runs:
    r = med(export, "cold") / med(scan, "cold")
    print(f"goal cold: export / scan {r:.2f} (at most 1.25: {'met' if r <= 1.25 else 'NOT met'})")
PY
done

if [ "${STEPS:-1}" = 0 ]; then
  :
elif [ -x "$steps" ]; then
  echo
  echo "Steps after the walk on 1,000,000 synthetic folders:"
  "$steps" --benchmark_filter=-AfterWalkAlone --benchmark_counters_tabular=true
  # Peak memory of the same steps alone, against the bytes of the result files.
  /usr/bin/time -f "%M" -o "$out/.m" "$steps" --benchmark_filter=AfterWalkAlone \
    --benchmark_format=json >"$out/.j" 2>/dev/null
  python3 - "$out/.j" "$out/.m" <<'PY'
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
peak = int(open(sys.argv[2]).read().split()[-1]) / 1024
files = b["result_MiB"]
print(f"\nafter-walk steps alone: {b['real_time']:.0f} ms, peak {peak:.0f} MiB, "
      f"result files {files:.0f} MiB, peak/files {peak / files:.2f}")
PY
else
  echo "scan: $steps not built (is libbenchmark-dev installed?)" >&2
fi
