#!/usr/bin/env python3
"""Exclude rules against ncdu 1.18 on a random tree with hostile names.

For random sets of patterns (given as --exclude, or as an -X file with
carriage returns and blank lines) with and without --exclude-caches:
  * every folder total of the scanner's scan equals the total its --import
    of ncdu's export of the same tree reports;
  * the scanner's export marks exactly the items ncdu's marks as excluded;
  * ncdu reads the scanner's export back (-f ... -o ...) to the same totals.
Usage: exclude_ncdu_parity.py SCANNER NCDU
"""
import json
import os
import random
import subprocess
import sys
import tempfile

SIGNATURE = b"Signature: 8a477f597d28d172789f06886806bc55"
PIECES = [b"a", b"b", b"x.o", b"*", b"[", b"]", b"\\", b"\n", b"\xff", b"?", b" ", b".",
          b"node_modules", b"\xc3\xa9", b"-", b"tmp"]


def random_name(rng):
    name = b"".join(rng.choice(PIECES) for _ in range(rng.randint(1, 3)))
    return b"n" + name if name in (b".", b"..") or name.startswith(b"-") else name


def make_tree(root, rng):
    """Folders and files with hostile names; some folders tagged as caches."""
    folders = [root]
    names = set()
    for i in range(120):
        parent = rng.choice(folders)
        name = random_name(rng) + str(i % 7).encode()
        path = os.path.join(parent, name)
        if os.path.lexists(path):
            continue
        names.add(name)
        if rng.random() < 0.3:
            os.mkdir(path)
            folders.append(path)
            roll = rng.random()
            if roll < 0.1:
                with open(os.path.join(path, b"CACHEDIR.TAG"), "wb") as f:
                    f.write(SIGNATURE + b"\n# a cache\n")
            elif roll < 0.15:
                with open(os.path.join(path, b"CACHEDIR.TAG"), "wb") as f:
                    f.write(b"Signature: not the one\n")
        else:
            with open(path, "wb") as f:
                f.write(b"x" * rng.randint(0, 5000))
    return folders, sorted(names)


def random_patterns(rng, root, folders, names):
    patterns = []
    for _ in range(rng.randint(1, 8)):
        kind = rng.random()
        if kind < 0.35:
            patterns.append(rng.choice(names))
        elif kind < 0.5:  # a whole path, or its tail
            folder = rng.choice(folders)
            patterns.append(folder if rng.random() < 0.5 else folder[len(root) + 1:] or b"a")
        else:
            patterns.append(rng.choice([b"*.o", b"*x*", b"a?", b"[ab]*", b"*/b*/*", b"*\\**",
                                        b"[", b"a[b", b"*\xff*", b"[!a-m]*", b"?", b"tmp*",
                                        b"*[[]*", b"*\n*", b"node_modules"]))
    return [p for p in patterns if p and b"\n" not in p[:-1] or p == b"*\n*"]


def run(args, **kw):
    done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)
    if done.returncode != 0:
        raise SystemExit("failed: %r\n%s" % (args, done.stderr.decode("latin-1")))
    return done.stdout


def lists(folder):
    """Folder path (below the root) -> total, from the lists --out wrote."""
    files = sorted(os.listdir(folder))
    dirs = open(os.path.join(folder, [f for f in files if f.endswith(b"Dirs")][0]), "rb").read()
    sizes = open(os.path.join(folder, [f for f in files if f.endswith(b"DirSizes")][0]), "rb").read()
    dirs = dirs.split(b"\r\n") if b"\r\n" in dirs else dirs.split(b"\n")
    sizes = sizes.split(b"\r\n") if b"\r\n" in sizes else sizes.split(b"\n")
    root = dirs[0]
    return {d[len(root):]: int(s) for d, s in zip(dirs, sizes) if d}


def excluded(export):
    """Paths of the items an export marks excluded by a pattern."""
    data = json.loads(open(export, "rb").read().decode("latin-1"))
    found = set()

    def walk(node, path):
        info = node[0] if isinstance(node, list) else node
        here = path + "/" + info["name"] if path is not None else ""
        if info.get("excluded") == "pattern":
            found.add(here)
        if isinstance(node, list):
            for child in node[1:]:
                walk(child, here)
    walk(data[3], None)
    return found


def main():
    scanner, ncdu = sys.argv[1], sys.argv[2]
    rng = random.Random(1841)
    with tempfile.TemporaryDirectory() as work:
        work = os.path.realpath(work).encode()
        root = os.path.join(work, b"tree")
        os.mkdir(root)
        folders, names = make_tree(root, rng)
        checked = marked = 0
        for round_ in range(10):
            patterns = random_patterns(rng, root, folders, names)
            caches = round_ % 3 == 0
            ours, theirs = [], []
            if round_ % 2:
                xfile = os.path.join(work, b"X%d" % round_)
                with open(xfile, "wb") as f:
                    for p in patterns:
                        f.write(p + rng.choice([b"\n", b"\r\n", b"\r\r\n"]) +
                                rng.choice([b"", b"\n", b"\r\n"]))
                ours += [b"--exclude-from", xfile]
                theirs += [b"-X", xfile]
            else:
                for p in patterns:
                    ours += [b"--exclude", p]
                    theirs += [b"--exclude", p]
            if caches:
                ours.append(b"--exclude-caches")
                theirs.append(b"--exclude-caches")
            d = os.path.join(work, b"r%d" % round_)
            os.mkdir(d)
            j = lambda n: os.path.join(d, n)
            run([ncdu, b"-0", b"-o", j(b"ncdu.json")] + theirs + [root])
            run([scanner, b"--out", j(b"scan")] + ours + [b"--", root])
            run([scanner, b"--import", j(b"ncdu.json"), b"--out", j(b"imported")])
            scan, imported = lists(j(b"scan")), lists(j(b"imported"))
            if scan != imported:
                raise SystemExit("round %d: totals differ\nscan %r\nimport %r\npatterns %r" %
                                 (round_, scan, imported, patterns))
            run([scanner, b"--export", j(b"ours.json")] + ours + [b"--", root])
            if excluded(j(b"ours.json")) != excluded(j(b"ncdu.json")):
                raise SystemExit("round %d: excluded items differ: %r against %r" %
                                 (round_, excluded(j(b"ours.json")), excluded(j(b"ncdu.json"))))
            run([ncdu, b"-0", b"-f", j(b"ours.json"), b"-o", j(b"back.json")])
            run([scanner, b"--import", j(b"back.json"), b"--out", j(b"back")])
            if lists(j(b"back")) != imported:
                raise SystemExit("round %d: ncdu reads our export to other totals" % round_)
            checked += len(scan)
            marked += len(excluded(j(b"ncdu.json")))
        # The rules did leave things out, and not everything.
        if marked < 10 or checked < 20:
            raise SystemExit("too little compared: %d folders, %d excluded" % (checked, marked))
        print("%d folder totals and %d excluded items agree with ncdu" % (checked, marked))


if __name__ == "__main__":
    main()
