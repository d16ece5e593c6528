#!/usr/bin/env bash
# The part of same-output.sh that runs in its private mount namespace; the
# settings come from its environment (CQ_...). Not run on its own.
set -euo pipefail
mount --make-rprivate /
mnt=$CQ_WORK/mnt
mkdir -p "$mnt"
failed=0

# scan_all WHO SCANNER FOLDER THREADS: every stored output of one scanner.
scan_all() {
  local out=$CQ_WORK/$1.$4
  rm -rf "$out"
  mkdir -p "$out/data"
  (
    export XDG_DATA_HOME=$out/data XDG_CONFIG_HOME=$out/config HOME=$out COBALTQUARRY_WALK_THREADS=$4
    # "chosen": the count the scanner picks, its extra threads started as
    # the walk reads from the disk.
    [ "$4" != chosen ] || unset COBALTQUARRY_WALK_THREADS
    # Only a drive's root can be stored.
    local save=--save
    [ "$3" = "$mnt" ] || save=
    "$2" $save --out "$out/out" "$3" >/dev/null
    "$2" --export "$out/export.json" "$3"
    "$2" --export "$out/export.json.zst" "$3"
    zstd -q -d -c "$out/export.json.zst" >"$out/export.unzst.json"
    rm "$out/export.json.zst"
  )
  # What holds the time of the run.
  sed -i -E '1s/"timestamp":[0-9]+/"timestamp":T/' "$out/export.json" "$out/export.unzst.json"
  local d
  for d in "$out"/data/cobaltquarry/*Discover; do
    [ -f "$d" ] && sed -i -E 's/^(old [0-9]+ -?[0-9]+) -?[0-9]+\r$/\1 T\r/' "$d"
  done
  for d in "$out"/data/cobaltquarry/*Set; do
    [ -f "$d" ] && sed -i -E 's/^(current extra Discover [0-9]+ [0-9]+) [0-9a-f]+$/\1 C/' "$d"
  done
  return 0
}

# compare NAME FOLDER: both scanners on FOLDER, on 16 threads, on one and
# on the count they choose.
compare() {
  local threads
  for threads in 16 1 chosen; do
    scan_all ref "$CQ_REF" "$2" "$threads"
    scan_all new "$CQ_NEW" "$2" "$threads"
    if diff -r -q "$CQ_WORK/ref.$threads" "$CQ_WORK/new.$threads"; then
      echo "same: $1, $threads threads ($(find "$CQ_WORK/new.$threads" -type f | wc -l) files)"
    else
      echo "DIFFERENT: $1, $threads threads" >&2
      failed=1
    fi
  done
}

# on_image NAME INODES: a fresh ext4 file system mounted at $mnt.
on_image() {
  umount "$mnt" 2>/dev/null || true
  rm -f "$CQ_WORK/img"
  truncate -s 8G "$CQ_WORK/img"
  mkfs.ext4 -q -N "$2" "$CQ_WORK/img"
  mount -o loop "$CQ_WORK/img" "$mnt"
}

for files in $CQ_TREES; do
  on_image "tree-$files" $((files * 13 / 10 + 10000))
  python3 "$CQ_MKTREE" "$mnt/tree" --files "$files" --seed "$CQ_SEED" >/dev/null
  compare "tree of $files files, seed $CQ_SEED" "$mnt"
done
on_image hostile $((CQ_HOSTILE * 3 + 10000))
python3 "$CQ_HERE/hostile_tree.py" "$mnt/h" "$CQ_HOSTILE" "$CQ_SEED"
compare "hostile tree of $CQ_HOSTILE files (drive root)" "$mnt"
# A folder below the root: the names outside it are not seen.
compare "hostile tree of $CQ_HOSTILE files (its folder scan)" "$mnt/h/scan"
umount "$mnt"
exit $failed
