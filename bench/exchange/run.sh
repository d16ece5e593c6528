#!/usr/bin/env bash
# Export and import of a whole scan in ncdu's format: cobaltquarry-scan
# --export against ncdu -o and gdu -o, and --import of ncdu's export against
# ncdu -f and gdu -f reading it, alternating the programs round by round.
# Exports run cold (page cache dropped just before, when this may drop it)
# and warm; imports read a file that was just written (warm).
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
bench_modes "${MODES:-cold warm}"

# name|command; $T is the tree, $O the folder for the files.
exports=("cobaltquarry-scan --export|$scan --export \"\$O/ours.json\" \"\$T\"")
exports+=("cobaltquarry-scan --export .zst|$scan --export \"\$O/ours.json.zst\" \"\$T\"")
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
