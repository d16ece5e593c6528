#!/usr/bin/python3
"""Prints the accessible tree of one running program as JSON, read through
the AT-SPI registry as a screen reader reads it.

Usage: atspi_walk.py PID
Fails (exit 1) when the registry cannot be reached or the program with that
process id does not show up on it within the wait.
"""
import json
import sys
import time

import pyatspi

STATES = {
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_SHOWING: "showing",
    pyatspi.STATE_SELECTED: "selected",
}


def node(accessible, depth):
    states = accessible.getState()
    entry = {
        "role": accessible.getRoleName(),
        "name": accessible.name or "",
        "description": accessible.description or "",
        "states": [text for state, text in STATES.items() if states.contains(state)],
        "children": [],
    }
    if depth < 40:
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None:
                entry["children"].append(node(child, depth + 1))
    return entry


def find_program(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # an application that went away meanwhile
            continue
    return None


def main():
    pid = int(sys.argv[1])
    deadline = time.monotonic() + 20
    app = find_program(pid)
    while app is None and time.monotonic() < deadline:
        time.sleep(0.2)
        app = find_program(pid)
    if app is None:
        print("no program with process id %d on the accessibility bus" % pid, file=sys.stderr)
        return 1
    json.dump(node(app, 0), sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
