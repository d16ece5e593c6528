#!/usr/bin/env bash
# Peak memory of a scan with and without hard links: a plain tree of
# FILES names in FILES/10 folders, and the same tree (the same folders and
# names) with 3 links per file, every file's 3 names in different folders.
# A file with several links should cost the walk one entry per file, not
# one per name: the linked tree's peak within 1.3x of the plain tree's.
# Prints the peak per million names of each (median of ROUNDS warm runs of
# --out), and the same for a baseline scanner when BASE is given.
# Usage: bench/scan/links.sh [BUILD_DIR]
#   FILES=300000 SEED=99 ROUNDS=3 BASE=/path/to/old/cobaltquarry-scan
set -euo pipefail
. "$(dirname "$0")/../common.sh" links "${1:-build}"
files=${FILES:-300000}
seed=${SEED:-99}
rounds=${ROUNDS:-3}
plain=$(bench_tree "$files" "$seed")
linked="$base/links3-$files-seed$seed"
if [ ! -d "$linked" ]; then
  echo "building $linked ..." >&2
  python3 "$mktree" "$linked" --files "$files" --seed "$seed" >/dev/null
  python3 - "$linked" <<'PY'
import os, sys
# Every file of one link becomes, with two others from other folders, one
# file of 3 names: the names stay, the two others' data go.
singles = []
for folder, _, names in os.walk(sys.argv[1]):
    for n in names:
        p = os.path.join(folder, n)
        st = os.lstat(p)
        if os.path.isfile(p) and not os.path.islink(p) and st.st_nlink == 1:
            singles.append(p)
singles.sort(key=lambda p: (hash(os.path.basename(p)) & 0xFFFF, p))
group = []
for p in singles:
    if all(os.path.dirname(p) != os.path.dirname(q) for q in group):
        group.append(p)
    if len(group) == 3:
        for q in group[1:]:
            os.unlink(q)
            os.link(group[0], q)
        group = []
PY
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# peak SCANNER TREE: the median peak in KiB of warm --out scans.
peak() {
  "$1" --out "$out" "$2" >/dev/null
  for ((r = 1; r <= rounds; r++)); do
    /usr/bin/time -f "%M" -o "$out/.m" "$1" --out "$out" "$2" >/dev/null
    tail -1 "$out/.m"
  done | sort -n | sed -n "$(((rounds + 1) / 2))p"
}
names() { find "$1" -type f | wc -l; }
plainNames=$(names "$plain")
linkedNames=$(names "$linked")
echo "plain tree: $plainNames names; linked tree: $linkedNames names," \
  "$(find "$linked" -type f -links 3 | wc -l) of them with 3 links"
report() {
  local p l
  p=$(peak "$2" "$plain")
  l=$(peak "$2" "$linked")
  python3 - "$1" "$p" "$l" "$plainNames" "$linkedNames" <<'PY'
import sys
who, p, l, pn, ln = sys.argv[1], *map(int, sys.argv[2:])
print(f"{who}: peak {p / 1024:.1f} MiB plain ({p / 1024 / pn * 1e6:.0f} MiB per million names), "
      f"{l / 1024:.1f} MiB with 3 links ({l / 1024 / ln * 1e6:.0f} MiB per million names); "
      f"3 links / plain {l / p:.2f} (at most 1.30)")
PY
}
report "cobaltquarry-scan" "$scan"
[ -n "${BASE:-}" ] && report "baseline scanner" "$BASE"
exit 0
