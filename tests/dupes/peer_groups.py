#!/usr/bin/env python3
"""The duplicate groups of `cobaltquarry-scan --duplicates` against two
independent finders, jdupes and rmlint, on random trees with hostile names,
compared as sets of (device, inode): the peers name hard links differently
(jdupes leaves a linked name out, rmlint -L lists one name per inode), so
names are turned into inodes and one-inode groups dropped.

With --btrfs, run inside on_btrfs.sh, on its btrfs file system: reflink clones (cp --reflink) must be in their group,
marked as already shared, and not counted as waste.

Usage: peer_groups.py SCAN_BINARY [--btrfs]. Exit 77: a needed tool is missing."""
import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dupes_tree import make_tree, write  # noqa: E402

SKIP = 77


def inode(path):
    st = os.lstat(path)
    return (st.st_dev, st.st_ino)


def normal(groups):
    """Groups as a set of frozensets of inodes, groups of one inode left out."""
    out = set()
    for g in groups:
        g = frozenset(g)
        if len(g) > 1:
            out.add(g)
    return out


def ours(scan, root):
    out = subprocess.run([scan, "--duplicates", "--json", root], check=True,
                         stdout=subprocess.PIPE).stdout
    report = json.loads(out)
    groups, shared, waste = [], [], 0
    for g in report["groups"]:
        inodes = []
        for c in g["copies"]:
            for n in c["names"]:  # every name is the copy's inode
                raw = base64.b64decode(n["path_base64"]) if "path_base64" in n \
                    else n["path"].encode()
                assert inode(raw) == (int(c["device"]), int(c["inode"])), raw
            inodes.append((int(c["device"]), int(c["inode"])))
            if c["already_shared"]:
                shared.append((int(c["device"]), int(c["inode"])))
        groups.append(inodes)
        waste += g["waste"]
    assert waste == report["total_waste"]
    return normal(groups), shared, report


def jdupes(root):
    out = subprocess.run(["jdupes", "-r", "-q", "-0", root], check=True,
                         stdout=subprocess.PIPE).stdout
    groups = []
    for block in out.split(b"\0\0"):
        names = [n for n in block.split(b"\0") if n]
        if names:
            groups.append([inode(n) for n in names])
    return normal(groups)


def rmlint(root, work):
    report = os.path.join(work, "rmlint.json")
    subprocess.run(["rmlint", "-L", "-T", "df", "-o", "json:" + report, root],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=work)
    with open(report, "rb") as f:
        entries = json.loads(f.read().decode("utf-8", "surrogateescape"))
    groups = {}
    for e in entries:
        if isinstance(e, dict) and e.get("type") == "duplicate_file":
            groups.setdefault((e["size"], e["checksum"]), []).append((e["disk_id"], e["inode"]))
    return normal(groups.values())


def compare(scan, root, work, label):
    mine, shared, report = ours(scan, root)
    for peer, theirs in (("jdupes", jdupes(root)), ("rmlint", rmlint(root, work))):
        if mine != theirs:
            print(f"{label}: groups differ from {peer}:\n only ours: {mine - theirs}\n"
                  f" only {peer}: {theirs - mine}")
            return None
    print(f"{label}: {len(mine)} groups, the same as jdupes and rmlint")
    return shared, report


def plain_trees(scan):
    for seed in (1, 2, 3):
        with tempfile.TemporaryDirectory() as work:
            root = os.path.join(work, "tree").encode()
            os.mkdir(root)
            make_tree(root, seed)
            if compare(scan, root, work, f"tree {seed}") is None:
                return 1
    return 0


def reflink_tree(scan, mount):
    """In the mounted btrfs: a random tree plus clones of some of its files."""
    root = os.path.join(mount, b"tree")
    os.mkdir(root)
    make_tree(root, 7, files=120)
    originals = []
    for i in range(3):
        original = os.path.join(root, b"orig-%d" % i)
        write(original, os.urandom(200000 + i))
        originals.append(original)
        subprocess.run(["cp", "--reflink=always", original, original + b".clone"], check=True)
        subprocess.run(["cp", "--reflink=never", original, original + b".copy"], check=True)
    subprocess.run(["sync"], check=True)
    result = compare(scan, root, mount.decode(), "btrfs tree")
    if result is None:
        return 1
    shared, report = result
    expected = set()
    for o in originals:
        expected |= {inode(o), inode(o + b".clone")}
    if set(shared) != expected:
        print(f"already shared: {set(shared)}, expected {expected}")
        return 1
    for g in report["groups"]:
        if any(c["already_shared"] for c in g["copies"]) and g["waste"] != g["bytes"]:
            print(f"a group of a clone, a copy and the original wastes {g['waste']}, "
                  f"not one copy's {g['bytes']}")
            return 1
    print("btrfs: clones marked already shared, not counted as waste")
    return 0


def main():
    scan = sys.argv[1]
    if not shutil.which("jdupes") or not shutil.which("rmlint"):
        print("SKIP: jdupes and rmlint are needed (deps/debian-packages.txt lists them)")
        return SKIP
    if len(sys.argv) > 2 and sys.argv[2] == "--btrfs":  # run by on_btrfs.sh
        return reflink_tree(scan, os.environ["CQ_BTRFS_DIR"].encode())
    return plain_trees(scan)


if __name__ == "__main__":
    sys.exit(main())
