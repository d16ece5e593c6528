#!/usr/bin/env bash
# Whole-scan benchmark: cobaltquarry-scan --out against du, ncdu and gdu (and
# a bare two-thread walk, the floor) on generated trees of 100 000 and
# 1 000 000 files, with a warm cache, alternating the programs round by
# round; then the benchmark of the steps after the walk.
# Usage: bench/scan/run.sh [BUILD_DIR]   (ROUNDS=3 TREES="100000 1000000")
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
scan="$build/tools/cobaltquarry-scan"
floor="$build/bench/scan/cq_floor_walk"
steps="$build/bench/scan/scan_steps_bench"
mktree="${MKTREE:-$root/../shared/tools/mktree.py}"
rounds=${ROUNDS:-3}
trees=${TREES:-"100000 1000000"}
base=${BENCH_TREES:-/tmp/cobaltquarry-bench-trees}

for tool in "$scan" "$floor"; do
  [ -x "$tool" ] || { echo "scan: $tool not built" >&2; exit 1; }
done
[ -f "$mktree" ] || { echo "scan: tree generator $mktree not found (set MKTREE)" >&2; exit 1; }
out=$(mktemp -d)
times=$(mktemp)
trap 'rm -rf "$out" "$times"' EXIT

# name|command; every command scans the tree given as $T.
peers=("cobaltquarry-scan --out|$scan --out $out \"\$T\"")
command -v du >/dev/null && peers+=("du -sx --apparent-size|du -sx --apparent-size \"\$T\"")
command -v ncdu >/dev/null && peers+=("ncdu -x -0 -o /dev/null|ncdu -x -0 -o /dev/null \"\$T\"")
command -v gdu >/dev/null && peers+=("gdu -n -p -x|gdu -n -p -x \"\$T\"")
peers+=("bare 2-thread walk (floor)|$floor \"\$T\"")

for files in $trees; do
  T="$base/tree-$files"
  if [ ! -d "$T" ]; then
    echo "building $T ..."
    mkdir -p "$base"
    python3 "$mktree" "$T" --files "$files" >/dev/null
  fi
  export T
  # Warm the cache: every inode and directory block read once.
  du -sx "$T" >/dev/null 2>&1 || true
  "$floor" "$T" >/dev/null
  : >"$times"
  for ((r = 1; r <= rounds; r++)); do
    for p in "${peers[@]}"; do
      name=${p%%|*}
      cmd=${p#*|}
      /usr/bin/time -f "%e %M" -o "$out/.t" bash -c "$cmd" >/dev/null 2>&1 || true
      echo "$name|$(cat "$out/.t" | tail -1)" >>"$times"
    done
  done
  python3 - "$times" "$files" <<'PY'
import sys, statistics
rows = {}
for line in open(sys.argv[1]):
    name, rest = line.rstrip("\n").split("|")
    secs, kb = rest.split()
    rows.setdefault(name, []).append((float(secs), int(kb)))
order = list(rows)
ours = statistics.median(t for t, _ in rows[order[0]])
print(f"\nWhole scan of {int(sys.argv[2]):,} files (median of {len(rows[order[0]])} alternating runs, warm cache)")
print(f"{'program':32} {'seconds':>8} {'peak MiB':>9} {'time / ours':>12}")
for name in order:
    t = statistics.median(x for x, _ in rows[name])
    m = max(k for _, k in rows[name]) / 1024
    print(f"{name:32} {t:8.2f} {m:9.1f} {t / ours:12.2f}")
for name in order[1:]:
    t = statistics.median(x for x, _ in rows[name])
    print(f"ratio ours/{name.split()[0]}: {ours / t:.2f}")
PY
done

if [ -x "$steps" ]; then
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
