#!/usr/bin/env bash
# Whether this build's scanner stores exactly what a reference scanner (a
# build of an earlier commit) stores: the result files of --out, the stored
# set of --save (lists, extra files and the set's own file) and the export,
# plain and with zstd, compared byte by byte. A speed-up of the walk or its
# collectors must not change a byte of them.
#
# Each tree is made on a file system of its own (a loop-mounted ext4 image
# in a private mount namespace, so it is a drive that --save stores), and
# each scanner scans it on 16 threads, on one and on as many as it chooses.
# The trees: the benchmark trees of run.sh (the same generator, sizes and
# seed), and a hostile one:
# names with every kind of byte, extensions longer than a word, many equal
# sizes and empty files (the lists' ties and floors), files older than a
# year, and hard links of 2 to 4 names in one folder or in several, some
# of whose names lie outside the scanned folder.
#
# Only what holds the time of the run is set aside: the export's timestamp,
# the scan time on the old files' line, and the checksum of the one stored
# file that holds that line. Exits 1 on any other difference.
# Usage: bench/scan/same-output.sh REFERENCE_SCANNER [BUILD_DIR]
#   TREES="100000" (mktree files; "" for the hostile tree alone) SEED=99
#   HOSTILE=3000 (files of the hostile tree) KEEP=1 keeps the work folder.
# Needs root (loop mounts).
set -euo pipefail
ref=${1:?usage: same-output.sh REFERENCE_SCANNER [BUILD_DIR]}
ref=$(readlink -f "$ref")
. "$(dirname "$0")/../common.sh" same-output "${2:-build}"
[ -x "$ref" ] || { echo "same-output: $ref is not a scanner" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "same-output: needs root for its loop mounts" >&2; exit 2; }
work=$(mktemp -d /tmp/cq-same-output.XXXXXX)
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
export CQ_REF=$ref CQ_NEW=$scan CQ_WORK=$work CQ_MKTREE=$mktree
export CQ_TREES=${TREES-100000} CQ_SEED=${SEED:-99} CQ_HOSTILE=${HOSTILE:-3000}
export CQ_HERE=$root/bench/scan
unshare -m bash "$root/bench/scan/same-output-inside.sh"
