#!/usr/bin/python3
"""Prints the accessibility tree of one running application as a screen reader reads it.

Usage: atspi-tree.py PID
One JSON object per line: the names of the ancestors (path), role, name, description, the
current value of those that have one, and whether it is checked and showing. Nothing below an
object that is not showing is read.
Exits 2 when no application with that process id is on the accessibility bus.
"""
import json
import sys

import pyatspi

MAX_NODES = 20000
MAX_DEPTH = 40


def value_of(node):
    try:
        return node.queryValue().currentValue
    except NotImplementedError:
        return None


def walk(node, path, out, depth=0):
    if len(out) >= MAX_NODES or depth > MAX_DEPTH:
        return
    states = node.getState()
    out.append({
        "path": path,
        "role": node.getRoleName(),
        "name": node.name,
        "description": node.description,
        "value": value_of(node),
        "checked": states.contains(pyatspi.STATE_CHECKED),
        "showing": states.contains(pyatspi.STATE_SHOWING),
    })
    # What is not showing (the other tabs' pages) is left unread below it, as a reader leaves it.
    if depth > 0 and not states.contains(pyatspi.STATE_SHOWING):
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            walk(child, path + [node.name], out, depth + 1)


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            out = []
            walk(app, [], out)
            for entry in out:
                print(json.dumps(entry, ensure_ascii=False))
            return 0
    print("no application with process id %d on the accessibility bus" % pid, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
