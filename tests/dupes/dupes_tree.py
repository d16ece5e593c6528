"""A random folder tree for the duplicate search's tests and benchmark:
hostile names (new lines, tabs, quotes, a leading dash, bytes that are not
UTF-8, text turned backwards), copies, hard links, empty files and files of
one size whose bytes differ only in the last byte or in one middle block
(so that neither the size nor the ends tell them apart)."""
import os
import random

HOSTILE = [b"plain", b"with space", b"new\nline", b"tab\there", b"-dash", b"quote\"'",
           b"back\\slash", b"\xff\xfenot-utf8", b"\xe2\x80\xaeturned", b"star*?[x]",
           b"caf\xc3\xa9", b"  lead", b"trail  "]


def name(rng, i):
    return rng.choice(HOSTILE) + b"-" + str(i).encode()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def make_tree(root, seed, files=300, sizes=(1, 100, 4096, 70000, 300000)):
    """Makes the tree below root (bytes); returns the folders made."""
    rng = random.Random(seed)
    folders = [root]
    for i in range(12):
        folder = os.path.join(rng.choice(folders), name(rng, i))
        os.makedirs(folder, exist_ok=True)
        folders.append(folder)
    made = []
    for i in range(files):
        path = os.path.join(rng.choice(folders), name(rng, 1000 + i))
        roll = rng.random()
        if made and roll < 0.25:  # a copy
            with open(rng.choice(made), "rb") as f:
                write(path, f.read())
        elif made and roll < 0.32:  # a hard link
            os.link(rng.choice(made), path)
        elif roll < 0.37:  # an empty file
            write(path, b"")
        elif made and roll < 0.50:  # same size, one byte changed
            with open(rng.choice(made), "rb") as f:
                data = bytearray(f.read())
            if not data:
                continue
            where = len(data) - 1 if rng.random() < 0.5 else len(data) // 2
            data[where] ^= 0x5A
            write(path, bytes(data))
        else:
            size = rng.choice(sizes)
            write(path, rng.randbytes(size))
        made.append(path)
    return folders
