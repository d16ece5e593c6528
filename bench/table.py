"""The table of a benchmark script's timed runs.

usage: table.py TIMES TITLE [--ratios]

TIMES holds lines "name|mode|seconds kilobytes" (see timed in common.sh),
the first name being ours. Prints, per program, the median seconds of each
mode (cold, warm) with their ratio to ours and the peak memory; --ratios adds
a line per mode of ours against every other program and the best floor.
"""
import statistics
import sys

rows, order = {}, []
for line in open(sys.argv[1]):
    name, mode, rest = line.rstrip("\n").split("|")
    secs, kb = rest.split()
    if name not in order:
        order.append(name)
    rows.setdefault((name, mode), []).append((float(secs), int(kb)))
modes = [m for m in ("cold", "warm") if any((n, m) in rows for n in order)]


def med(name, mode):
    return statistics.median(t for t, _ in rows[(name, mode)])


width = max(28, max(len(n) for n in order) + 2)
print(f"\n{sys.argv[2]}")
print(f"{'program':{width}}" + "".join(f" {m + ' s':>8} {m + '/ours':>10}" for m in modes)
      + f" {'peak MiB':>9}")
ours = order[0]
for name in order:
    line = f"{name:{width}}"
    for m in modes:
        line += f" {med(name, m):8.2f} {med(name, m) / med(ours, m):10.2f}"
    peak = max(k for m in modes for _, k in rows[(name, m)]) / 1024
    print(line + f" {peak:9.1f}")
if "--ratios" in sys.argv[3:]:
    for m in modes:
        o = med(ours, m)
        ratios = []
        for name in order[1:]:
            short = name.split()[0].rstrip(",")
            if short == "floor":
                short += "-" + name.split()[1]
            ratios.append(f"ours/{short} {o / med(name, m):.2f}")
        floors = [med(n, m) for n in order if n.startswith("floor")]
        best = f"; ours/best floor {o / min(floors):.2f}" if floors else ""
        print(f"{m}: " + ", ".join(ratios) + best)
