#!/usr/bin/env bash
# The program's start with large stored drives against one of a single
# folder: milliseconds from the start (the splash included) and after the
# splash's pause until the main window answers input, the processor time of
# the window's thread and of the whole process in that time, and the
# window's resident memory above the one-folder window against the bytes of
# the three result files. Drives: 1 000 000 and 3 000 000 folders of random
# sizes, and 1 000 000 folders holding 10 000 000 files of realistic sizes.
# Then entering real folders of 1 000, 10 000 and 100 000 files with
# 1 000 000 folders stored, going up and entering again.
# Then Move to Trash of a file with 1 000 000 folders stored: the longest
# time the window's event loop is blocked until the change is stored, and
# the time until then, with the change stored behind the views and (as a
# reference) at once on the window's thread.
# ROUNDS runs each, alternating; medians (memory: the largest).
# Usage: bench/window/run.sh [BUILD_DIR]   (ROUNDS=3, NAV_FOLDER=..., NAV_SIZES=...)
set -euo pipefail
. "$(dirname "$0")/../common.sh" window "${1:-build}"
start="$build/bench/window/bench_window_start"
navigate="$build/bench/window/bench_window_navigate"
item="$build/bench/window/bench_window_item"
for target in bench_window_start bench_window_navigate bench_window_item; do
  [ -x "$build/bench/window/$target" ] || cmake --build "$build" --target "$target" >/dev/null
done
rounds=${ROUNDS:-3}
drives=("1" "1000000" "3000000" "1000000 10000000")
results=$(mktemp)
trap 'rm -f "$results"' EXIT
echo "load before the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= rounds; r++)); do
  for d in "${drives[@]}"; do
    # shellcheck disable=SC2086
    echo "$d|$("$start" $d 2>/dev/null)" >>"$results"
  done
done
echo "load after the runs: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$results" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    drive, _, usable, after, shown, kib, files, wcpu, pcpu = line.strip().split("|")
    runs.setdefault(drive, []).append(
        (float(usable), float(after), int(kib), int(files), float(wcpu), float(pcpu)))
def med(rows, i):
    return statistics.median(r[i] for r in rows)
base = max(r[2] for r in runs["1"])
print("Start of the main window and its memory (median of %d runs)" % len(runs["1"]))
print("%-26s %9s %9s %10s %10s %10s %9s %7s" % (
    "stored drive", "start ms", "+splash", "win cpu", "all cpu", "MiB above", "files MiB", "ratio"))
for drive in runs:
    rows = runs[drive]
    name = drive.split()
    label = "1 folder" if drive == "1" else f"{int(name[0]):,} folders" + (
        f", {int(name[1]):,} files" if len(name) > 1 else "")
    above = (max(r[2] for r in rows) - base) / 1024
    files = rows[0][3] / 2**20
    ratio = "" if drive == "1" else f"{above / files:7.2f}"
    print("%-26s %9.0f %9.0f %10.0f %10.0f %10.1f %9.1f %7s" % (
        label, med(rows, 0), med(rows, 1), med(rows, 4), med(rows, 5), above, files, ratio))
print("(+splash: after the splash's pause; win cpu: processor ms of the window's thread;")
print(" all cpu: of the process, the preload's threads included; ratio: MiB above / files MiB)")
PY
# Entering folders of 1 000, 10 000 and 100 000 files (NAV_SIZES), each made
# once in $base (or NAV_FOLDER for the largest).
sizes=${NAV_SIZES:-1000 10000 100000}
echo
echo "Entering a folder of many files, 1 000 000 folders stored (ms; median of $rounds runs)"
nav=$(mktemp)
for ((r = 1; r <= rounds; r++)); do
  for n in $sizes; do
    folder=$base/nav-$n
    [ "$n" = 100000 ] && folder=${NAV_FOLDER:-$folder}
    "$navigate" "$folder" "$n" 1000000 2>/dev/null >>"$nav" || echo "navigation run $r ($n files) failed" >&2
  done
done
python3 - "$nav" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    if line.strip():
        row = line.strip().split("|")
        runs.setdefault(int(row[0]), []).append(row)
print("%-14s %10s %10s %14s %10s %12s %12s" % (
    "files", "enter", "up", "enter again", "rows", "enter cpu", "again cpu"))
for files in sorted(runs):
    rows = runs[files]
    col = lambda i: statistics.median(float(r[i]) for r in rows)
    print("%-14s %10.0f %10.0f %14.0f %10s %12.0f %12.0f" % (
        f"{files:,}", col(1), col(2), col(3), rows[0][4], col(5), col(7)))
print("(ms until the window answers input again; cpu: processor ms of the window's thread)")
PY
rm -f "$nav"

items=$(mktemp)
for ((r = 1; r <= rounds; r++)); do
  "$item" 1000000 2>/dev/null >>"$items" || echo "item command run $r failed" >&2
done
python3 - "$items" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    if line.strip():
        folders, way, block, stored, ok = line.strip().split("|")
        runs.setdefault(way, []).append((float(block), float(stored)))
print("%-18s %16s %16s" % ("Move to Trash", "longest block", "until stored"))
for way, rows in runs.items():
    print("%-18s %16.0f %16.0f" % (way, statistics.median(r[0] for r in rows),
                                   statistics.median(r[1] for r in rows)))
print("(ms, 1 000 000 folders stored; the window's event loop, blocked at most)")
PY
rm -f "$items"
