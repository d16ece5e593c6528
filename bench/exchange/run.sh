#!/usr/bin/env bash
# Export and import of a whole scan in ncdu's format: cobaltquarry-scan
# --export against ncdu -o and gdu -o, against itself listing on one thread
# and against its own scan (--out), and --import of ncdu's export against
# ncdu -f and gdu -f reading it, alternating the programs round by round.
# Exports run cold (page cache dropped just before, when this may drop it)
# and warm; imports read a file that was just written (warm). The ratios
# line holds the export against ncdu and against the scan, and the goal:
# cold at most 0.5x ncdu, or 1.25x the scan where that is larger.
# Usage: bench/exchange/run.sh [BUILD_DIR]
#   ROUNDS=3 TREES="1000000" SEED=99 MODES="cold warm"
set -euo pipefail
. "$(dirname "$0")/../common.sh" exchange "${1:-build}"
rounds=${ROUNDS:-3}
trees=${TREES:-"1000000"}
seed=${SEED:-99}
out=$(mktemp -d)
times=$(mktemp)
trap 'rm -rf "$out" "$times"' EXIT
mkdir "$out/.scan"
bench_modes "${MODES:-cold warm}"

# name|command; $T is the tree, $O the folder for the files.
exports=("cobaltquarry-scan --export|$scan --export \"\$O/ours.json\" \"\$T\"")
exports+=("cobaltquarry-scan --export .zst|$scan --export \"\$O/ours.json.zst\" \"\$T\"")
exports+=("cobaltquarry-scan --export, 1 thread|COBALTQUARRY_WALK_THREADS=1 $scan --export \"\$O/one.json\" \"\$T\"")
exports+=("cobaltquarry-scan --out (scan)|$scan --out \"\$O/.scan\" \"\$T\"")
command -v ncdu >/dev/null && exports+=("ncdu -x -o|ncdu -x -0 -o \"\$O/ncdu.json\" \"\$T\"")
command -v gdu >/dev/null && exports+=("gdu -n -p -o|gdu -n -p -x -o \"\$O/gdu.json\" \"\$T\"")
imports=("cobaltquarry-scan --import|$scan --import \"\$O/ncdu.json\" --top 5")
imports+=("cobaltquarry-scan --import .zst|$scan --import \"\$O/ours.json.zst\" --top 5")
command -v ncdu >/dev/null && imports+=("ncdu -f -o /dev/null|ncdu -0 -f \"\$O/ncdu.json\" -o /dev/null")
command -v gdu >/dev/null && imports+=("gdu -f -n -p|gdu -f \"\$O/ncdu.json\" -n -p -s")

for files in $trees; do
  T=$(bench_tree "$files" "$seed")
  O="$out"
  export T O
  echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
  : >"$times"
  for ((r = 1; r <= rounds; r++)); do
    for p in "${exports[@]}"; do
      if $cold; then
        drop_caches
        timed "${p%%|*}" cold "${p#*|}"
      fi
      $warm && timed "${p%%|*}" warm "${p#*|}"
    done
  done
  report "Export of $files files"
  python3 - "$times" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, mode, rest = line.rstrip("\n").split("|")
    rows.setdefault((name, mode), []).append(float(rest.split()[0]))
med = lambda name, mode: statistics.median(rows[(name, mode)])
ours = "cobaltquarry-scan --export"
peers = {"ncdu": "ncdu -x -o", "scan": "cobaltquarry-scan --out (scan)",
         "1 thread": "cobaltquarry-scan --export, 1 thread"}
for mode in ("cold", "warm"):
    if (ours, mode) not in rows:
        continue
    o = med(ours, mode)
    line = ", ".join(f"export/{short} {o / med(name, mode):.2f}"
                     for short, name in peers.items() if (name, mode) in rows)
    if mode == "cold" and all((peers[k], mode) in rows for k in ("ncdu", "scan")):
        bound = max(0.5 * med(peers["ncdu"], mode), 1.25 * med(peers["scan"], mode))
        line += (f"; goal {bound:.2f} s (0.5x ncdu or 1.25x scan): "
                 + ("held" if o <= bound else "missed"))
    print(f"{mode}: {line}")
PY
  if [ -f "$O/one.json" ] && cmp -s <(tail -n +2 "$O/ours.json") <(tail -n +2 "$O/one.json"); then
    echo "export on many threads and on one: the same bytes after the header line"
  elif [ -f "$O/one.json" ]; then
    echo "export on many threads and on one: DIFFERENT bytes"
  fi
  ls -l "$O" | awk 'NR > 1 { printf "  %-16s %8.1f MiB\n", $9, $5 / 1048576 }'
  : >"$times"
  for ((r = 1; r <= rounds; r++)); do
    for p in "${imports[@]}"; do
      timed "${p%%|*}" warm "${p#*|}"
    done
  done
  report "Import of ncdu's export of $files files"
  echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
done
