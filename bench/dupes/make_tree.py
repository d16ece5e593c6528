#!/usr/bin/env python3
"""The duplicate benchmark's tree: FILES files in folders of about 100,
sizes spread evenly on a log scale from 512 bytes to 256 KiB (a few GB in
all for 100 000 files), of which a share DUPES are byte copies of earlier
files and 2 % have an earlier file's size and bytes but one (so the size
alone tells nothing). Usage: make_tree.py DIR [FILES] [DUPES] [SEED]"""
import os
import random
import sys


def main():
    root = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    dupes = float(sys.argv[3]) if len(sys.argv) > 3 else 0.20
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
    made = []
    for i in range(files):
        folder = os.path.join(root, "d%03d" % (i % 1000 // 10), "e%03d" % (i % 1000))
        if i < 1000:
            os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "f%06d.bin" % i)
        roll = rng.random()
        if made and roll < dupes:
            with open(rng.choice(made), "rb") as f:
                data = f.read()
        elif made and roll < dupes + 0.02:
            with open(rng.choice(made), "rb") as f:
                data = bytearray(f.read())
            data[rng.randrange(len(data))] ^= 0x01
            data = bytes(data)
        else:
            data = rng.randbytes(int(512 * 2 ** rng.uniform(0, 9)))
            made.append(path)
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
