#!/usr/bin/env python3
"""A random tree that is hard on what a scan stores, for same-output.sh.

Usage: hostile_tree.py DEST FILES SEED

DEST/scan is the folder to scan; DEST/outside holds further names of some
of its hard-linked files. Names take any byte but "/" and NUL (backslashes,
newlines, bytes that are not UTF-8, letters differing only in case), some
extensions are longer than 16 bytes, many files share a size (empty ones
among them) so that the lists of largest files end on ties, some files are
older than a year, and hard links give files 2 to 4 names, in one folder
or in several.
"""
import os
import random
import sys

dest, files, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(seed)
ALPHABET = [bytes([b]) for b in range(1, 256) if b != ord("/")]
EXTS = [b"txt", b"TXT", b"Txt", b"gz", b"tar.gz", b"jpg", b"JPG", b"o", b"a",
        b"verylongextensionname", b"seventeen-bytes-x", b"\xe9t\xe9", b"c\\d",
        b"", b"x~", b"part", b"tmp"]
YEAR = 365 * 86400


def name():
    n = rng.choice([1, 2, 3, 5, 8, 12, 20, 40])
    text = b"".join(rng.choice(ALPHABET) for _ in range(n))
    if text in (b".", b".."):
        text += b"x"
    if rng.random() < 0.7:
        ext = rng.choice(EXTS)
        text = (text + b"." + ext) if ext else text
    if rng.random() < 0.05:
        text = b"." + text
    return text


def unique(folder):
    while True:
        n = name()
        path = os.path.join(folder, n)
        if not os.path.lexists(path) and len(n) < 250:
            return path


def size():
    r = rng.random()
    if r < 0.15:
        return 0
    if r < 0.45:
        return rng.choice([1, 100, 4096, 12345])  # many ties
    return int(rng.lognormvariate(9, 3)) % (1 << 40)


def main():
    root = os.path.join(dest.encode(), b"scan")
    outside = os.path.join(dest.encode(), b"outside")
    os.makedirs(root)
    os.makedirs(outside)
    folders = [root]
    for _ in range(max(1, files // 8)):
        parent = rng.choice(folders)
        path = unique(parent)
        os.mkdir(path)
        folders.append(path)
    now = int(__import__("time").time())
    made = []
    for _ in range(files):
        path = unique(rng.choice(folders))
        with open(path, "wb") as f:
            f.truncate(size())
        if rng.random() < 0.2:
            t = now - YEAR - rng.randrange(10 * 86400, 20 * YEAR)
        else:
            t = now - rng.randrange(0, YEAR - 10 * 86400)
        os.utime(path, (t, t))
        made.append(path)
    for path in rng.sample(made, len(made) // 5):
        for _ in range(rng.randrange(1, 4)):
            r = rng.random()
            folder = os.path.dirname(path) if r < 0.2 else outside if r < 0.3 else rng.choice(folders)
            os.link(path, unique(folder))


main()
