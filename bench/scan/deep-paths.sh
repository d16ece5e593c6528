#!/usr/bin/env bash
# Deep folders: a tree whose paths run far past PATH_MAX (22 levels of
# 200-byte names, several branches, about 200 MB of sparse files) scanned
# RUNS times by cobaltquarry-scan; every run must find the bytes
# `du --apparent-size` finds. Usage: bench/scan/deep-paths.sh [BUILD_DIR]
# (RUNS=20 DEPTH=22)
set -euo pipefail
. "$(dirname "$0")/../common.sh" deep-paths "${1:-build}"
runs=${RUNS:-20}
depth=${DEPTH:-22}
T=$(mktemp -d /tmp/cq-deep-XXXXXX)
trap 'rm -rf "$T"' EXIT

# Built with paths relative to open folders: the whole paths are too long
# for any single call.
python3 - "$T" "$depth" <<'PY'
import os, sys
top, depth = sys.argv[1], int(sys.argv[2])
root = os.open(top, os.O_RDONLY | os.O_DIRECTORY)
for branch in range(8):
    fd = os.dup(root)
    for level in range(1, depth + 1):
        for k in range(3):
            f = os.open(f"f{branch}-{k}", os.O_CREAT | os.O_WRONLY, 0o644, dir_fd=fd)
            os.ftruncate(f, (branch * 7 + level * 13 + k) * 12345)
            os.close(f)
        side = f"side{branch}-{level}"
        os.mkdir(side, dir_fd=fd)
        name = f"{branch}-{level}-".ljust(200, "x")
        os.mkdir(name, dir_fd=fd)
        nxt = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = nxt
    os.close(fd)
PY
expected=$(du -s --apparent-size -B1 "$T" | cut -f1)
# du counts the folders' own sizes too; the scan counts files only.
folders=$(find "$T" -type d | wc -l)
dirbytes=$(find "$T" -type d -printf '%s\n' | awk '{s += $1} END {print s}')
files=$((expected - dirbytes))
echo "deep tree: $folders folders, $depth levels of 200-byte names, files $files bytes (du --apparent-size $expected)"
equal=0
for ((r = 1; r <= runs; r++)); do
  got=$("$scan" --json "$T" | python3 -c 'import json,sys; print(json.load(sys.stdin)["total_bytes"])')
  if [ "$got" = "$files" ]; then equal=$((equal + 1)); else echo "run $r: $got bytes"; fi
done
echo "runs equal to du: $equal of $runs"
[ "$equal" = "$runs" ]
