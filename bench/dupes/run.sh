#!/usr/bin/env bash
# The duplicate search against rmlint and jdupes on one tree of FILES files
# (100 000 by default) of which 20 % are copies, same runs, alternating
# rounds: time and peak memory of each. Warm runs read from the page cache
# (one run before the rounds fills it); cold runs drop it first (root only).
# Ours lists groups found by hashes (bytes are compared before any action);
# jdupes compares bytes as it lists, rmlint as told by -T df -o fdupes.
# Usage: bench/dupes/run.sh [BUILD_DIR] [MODES: "warm cold"] [FILES] [ROUNDS]
set -uo pipefail
. "$(dirname "$0")/../common.sh" dupes "${1:-build}"
modes=${2:-warm}
files=${3:-100000}
rounds=${4:-3}
for tool in rmlint jdupes; do
  command -v $tool >/dev/null || { echo "dupes: $tool is missing (deps/debian-packages.txt)" >&2; exit 1; }
done
tree="$base/dupes-$files"
if [ ! -f "$tree.done" ]; then
  echo "building $tree ..." >&2
  rm -rf "$tree"
  python3 "$root/bench/dupes/make_tree.py" "$tree" "$files" 0.2 1 && touch "$tree.done"
fi
out=$(mktemp -d)
times="$out/times"
: >"$times"
trap 'rm -rf "$out"' EXIT
bench_modes "$modes"
ours="'$scan' --duplicates '$tree' >/dev/null"
rm_cmd="cd '$out' && rmlint -T df -o fdupes '$tree' >/dev/null"
jd_cmd="jdupes -r -q '$tree' >/dev/null"
$warm && bash -c "$ours; $rm_cmd; $jd_cmd" >/dev/null 2>&1
for ((r = 0; r < rounds; r++)); do
  for mode in warm cold; do
    [ "$mode" = warm ] && ! $warm && continue
    [ "$mode" = cold ] && ! $cold && continue
    for entry in "cobaltquarry-scan --duplicates|$ours" "rmlint -T df -o fdupes|$rm_cmd" \
                 "jdupes -r -q|$jd_cmd"; do
      [ "$mode" = cold ] && drop_caches
      timed "${entry%%|*}" "$mode" "${entry#*|}"
    done
  done
done
report "Duplicates in $files files, 20 % copies"
"$scan" --duplicates --json "$tree" >"$out/ours.json"
/usr/bin/time -f "%M" -o "$out/.m" "$scan" --duplicates "$tree" >/dev/null
python3 - "$out/ours.json" "$out/.m" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))
peak = int(open(sys.argv[2]).read().split()[-1]) / 1024
print(f"ours: {len(r['groups'])} groups, {r['total_waste'] / 2**20:.1f} MiB waste, "
      f"{r['candidates']} candidates of {r['files']} files; peak {peak:.1f} MiB, "
      f"{peak * 100000 / max(r['candidates'], 1):.1f} MiB per 100 000 candidates (text report)")
PY
