#!/bin/sh
# Runs a command with a fresh btrfs file system mounted (a loop image, in a
# private mount namespace so the mount vanishes with the command), its
# folder in CQ_BTRFS_DIR. Exit 77 (skipped) where it cannot be made: not
# root, no mkfs.btrfs, no loop device or no unshare.
set -u
[ "$(id -u)" = 0 ] && command -v mkfs.btrfs >/dev/null && command -v unshare >/dev/null || {
    echo "SKIP: a btrfs loop image needs root, mkfs.btrfs (btrfs-progs) and unshare"; exit 77; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
truncate -s 320M "$work/btrfs.img" && mkfs.btrfs -q "$work/btrfs.img" >/dev/null || exit 1
mkdir "$work/mnt"
export CQ_BTRFS_DIR="$work/mnt" CQ_BTRFS_IMAGE="$work/btrfs.img"
unshare -m sh -c 'mount -o loop "$CQ_BTRFS_IMAGE" "$CQ_BTRFS_DIR" || {
    echo "SKIP: the loop image cannot be mounted here"; exit 77; }; "$@"' sh "$@"
