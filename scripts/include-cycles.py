#!/usr/bin/env python3
"""Fails when the #include graph of the sources has a circle.

A module is a header with its source (X.h and X.cpp are one node; a lone
X.cpp is a node of its own). Module A depends on module B when A.h or A.cpp
includes B.h. Two modules that depend on each other, directly or through
others, can only be understood, built and tested together, so every such
circle is reported and the check fails; it passes when the graph is acyclic.

Includes are written relative to the repository root ("engine/StringList.h");
a quoted include that names no file of the tree (a system or Qt header) is
not an edge.

Usage:
  include-cycles.py [ROOT]   checks the tree at ROOT (default: the
                             repository above this script), after the
                             self-test below
  include-cycles.py --self-test
                             proves on small planted trees that the check
                             fails on a circle and passes without one
"""
import os
import re
import sys
import tempfile

SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc")
HEADER_ENDINGS = (".h", ".hpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
# Build output, version control and other generated trees hold no modules.
SKIPPED_DIRS = re.compile(r"^(\..*|build.*|_deps|CMakeFiles)$")
MAX_LISTED = 1000  # elementary circles listed; far more than any real tree has


def module_of(relative_path):
    return os.path.splitext(relative_path)[0]


def read_graph(root):
    """Modules and their dependencies: {module: set of modules}."""
    files = []
    for folder, dirs, names in os.walk(root):
        dirs[:] = sorted(d for d in dirs if not SKIPPED_DIRS.match(d))
        for name in sorted(names):
            if name.endswith(SOURCE_ENDINGS):
                files.append(os.path.relpath(os.path.join(folder, name), root))
    headers = {f.replace(os.sep, "/") for f in files if f.endswith(HEADER_ENDINGS)}
    graph = {}
    for relative in files:
        path = relative.replace(os.sep, "/")
        node = module_of(path)
        edges = graph.setdefault(node, set())
        with open(os.path.join(root, relative), encoding="utf-8", errors="replace") as source:
            text = source.read()
        for included in INCLUDE.findall(text):
            if included in headers:
                target = module_of(included)
                if target != node:
                    edges.add(target)
    return graph


def strongly_connected(graph):
    """Tarjan's components, iteratively (deep include chains stay safe)."""
    index, low, on_stack, stack, components = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    components.append(sorted(component))
    return components


def elementary_cycles(graph, component):
    """Every simple circle inside one component, each starting at its
    smallest module, so that no circle is listed twice."""
    members = set(component)
    cycles = []
    for start in component:
        path = [start]
        on_path = {start}

        def walk(node):
            for child in sorted(graph.get(node, ())):
                if len(cycles) >= MAX_LISTED:
                    return
                if child == start:
                    cycles.append(path + [start])
                elif child in members and child > start and child not in on_path:
                    path.append(child)
                    on_path.add(child)
                    walk(child)
                    on_path.discard(child)
                    path.pop()

        walk(start)
    return cycles


def find_cycles(root):
    graph = read_graph(root)
    cycles = []
    for component in strongly_connected(graph):
        cycles.extend(elementary_cycles(graph, component))
    return cycles


def check(root, out=sys.stdout):
    """0 when the tree at root has no circle; 1 after listing every one."""
    cycles = find_cycles(root)
    if not cycles:
        print(f"include-cycles: no circle in {root}", file=out)
        return 0
    print(f"include-cycles: {len(cycles)} circle(s) in {root}:", file=out)
    for cycle in cycles:
        print("  " + " -> ".join(cycle), file=out)
    return 1


def plant(root, files):
    for relative, includes in files.items():
        path = os.path.join(root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as out:
            out.write("#pragma once\n" if relative.endswith(".h") else "")
            for included in includes:
                out.write(f'#include "{included}"\n')


def put_back(failures):
    """The menu cell, its row and the row keys as they are in the repository
    hold no circle; with the include the keys once had of the row put back,
    the check finds it."""
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    names = ["MenuCell.h", "MenuCell.cpp", "MenuRow.h", "MenuRow.cpp", "MenuRowKeys.h",
             "MenuRowKeys.cpp"]
    if not all(os.path.exists(os.path.join(repo, "app/main", n)) for n in names):
        return  # the script runs without its repository
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "app/main"))
        for name in names:
            with open(os.path.join(repo, "app/main", name), encoding="utf-8") as source:
                text = source.read()
            with open(os.path.join(root, "app/main", name), "w", encoding="utf-8") as copy:
                copy.write(text)
        if find_cycles(root):
            failures.append(f"menu rows: a circle before any was put back: {find_cycles(root)}")
        with open(os.path.join(root, "app/main/MenuRowKeys.cpp"), "a", encoding="utf-8") as keys:
            keys.write('#include "app/main/MenuRow.h"\n')
        wanted = [["app/main/MenuRow", "app/main/MenuRowKeys", "app/main/MenuRow"]]
        if find_cycles(root) != wanted:
            failures.append(f"menu rows: put back, found {find_cycles(root)}, wanted {wanted}")


def self_test():
    """The check must tell a tree with a circle from one without."""
    failures = []

    def expect(name, files, wanted):
        with tempfile.TemporaryDirectory() as root:
            plant(root, files)
            found = sorted(" -> ".join(c) for c in find_cycles(root))
            if found != sorted(wanted):
                failures.append(f"{name}: found {found}, wanted {sorted(wanted)}")
            with open(os.devnull, "w") as quiet:
                status = check(root, quiet)
            if status != (1 if wanted else 0):
                failures.append(f"{name}: check returned {status}")

    # A header with its own source, a chain, a diamond, system headers, a
    # lone source and an include of a file that does not exist: no circle.
    acyclic = {
        "a/X.h": ["QWidget", "b/Y.h"],
        "a/X.cpp": ["a/X.h", "b/Z.h", "missing/Gone.h"],
        "b/Y.h": ["b/Z.h"],
        "b/Y.cpp": ["b/Y.h"],
        "b/Z.h": [],
        "b/Lone.cpp": ["a/X.h"],
    }
    expect("acyclic", acyclic, [])
    # The circle of two modules through their sources only, as a cell and its
    # key handler had it.
    two = dict(acyclic)
    two.update({"d/Cell.h": [], "d/Cell.cpp": ["d/Cell.h", "d/Keys.h"]})
    two.update({"d/Keys.h": [], "d/Keys.cpp": ["d/Keys.h", "d/Cell.h"]})
    expect("two", two, ["d/Cell -> d/Keys -> d/Cell"])
    # A circle of three through headers, beside the circle of two.
    three = dict(two)
    three["c/P.h"] = ["c/Q.h"]
    three["c/Q.h"] = ["c/R.h"]
    three["c/R.h"] = []
    three["c/R.cpp"] = ["c/P.h"]
    expect("three", three, ["c/P -> c/Q -> c/R -> c/P", "d/Cell -> d/Keys -> d/Cell"])
    # Two circles sharing a module are two entries, not one.
    shared = {
        "m/A.h": ["m/B.h", "m/C.h"],
        "m/B.cpp": ["m/A.h"],
        "m/C.cpp": ["m/A.h"],
        "m/B.h": [],
        "m/C.h": [],
    }
    expect("shared", shared, ["m/A -> m/B -> m/A", "m/A -> m/C -> m/A"])
    # Build trees are no part of the sources.
    built = dict(acyclic)
    built["build/gen/G.h"] = ["build/gen/H.h"]
    built["build/gen/H.h"] = ["build/gen/G.h"]
    expect("build skipped", built, [])

    put_back(failures)

    for failure in failures:
        print("include-cycles self-test: " + failure)
    if not failures:
        print("include-cycles self-test: passed")
    return 1 if failures else 0


def main(argv):
    if len(argv) > 1 and argv[1] == "--self-test":
        return self_test()
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    # A check that could not fail would prove nothing: it proves it can first.
    if self_test() != 0:
        return 2
    return check(root)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
