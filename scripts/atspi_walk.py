"""The accessibility walk of scripts/atspi-walk: finds the program on the
accessibility bus, walks its tree and reports every control that takes the
focus without a name a person understands. Exit code 1 when there is one.

Cells, rows and headers of grids, lists and trees are not controls of their
own (the grid is, and is named); they are left out.
"""
import sys
import time

import pyatspi

PROGRAM = "zr417-cps"
PARTS_OF_VIEWS = {
    pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM,
    pyatspi.ROLE_COLUMN_HEADER, pyatspi.ROLE_ROW_HEADER, pyatspi.ROLE_TABLE_ROW,
}


def find_program(timeout=30.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == PROGRAM and app.childCount > 0:
                return app
        time.sleep(0.3)
    return None


def speakable(name):
    return any(c.isascii() and c.isalnum() for c in name or "")


def list_value(obj):
    """What a reader announces as a list's value: the selected entry of its
    pop-up list (Orca reads it there), or the text of an editable list's line."""
    for child in obj:
        if child is None:
            continue
        if child.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            try:
                text = child.queryText()
                return text.getText(0, text.characterCount)
            except NotImplementedError:
                pass
    popup = obj.getChildAtIndex(0) if obj.childCount else None
    if popup is None:
        return None
    for item in popup:
        if item is not None and item.getState().contains(pyatspi.STATE_SELECTED):
            return item.name
    return None


def walk(obj, path, out, seen):
    if obj is None or len(path) > 40:
        return
    key = (obj.path if hasattr(obj, "path") else id(obj))
    if key in seen:
        return
    seen.add(key)
    role = obj.getRole()
    if role in PARTS_OF_VIEWS:
        return
    states = obj.getState()
    if states.contains(pyatspi.STATE_FOCUSABLE):
        out.append((obj, role, path))
    if role == pyatspi.ROLE_COMBO_BOX:
        return  # its pop-up list and line belong to it
    for child in obj:
        walk(child, path + [obj.name or obj.getRoleName()], out, seen)


def main(argv):
    show_all = "--all" in argv
    app = find_program()
    if app is None:
        print(f"{PROGRAM} did not appear on the accessibility bus", file=sys.stderr)
        return 2
    time.sleep(1.0)  # let the first window settle
    found = []
    walk(app, [], found, set())
    unnamed = []
    lists_without_value = []
    for obj, role, path in found:
        name = obj.name
        shown = f"{obj.getRoleName():<14} {name!r}"
        if role == pyatspi.ROLE_COMBO_BOX:
            value = list_value(obj)
            shown += f" = {value!r}"
            if value is None:
                lists_without_value.append(obj)
        where = " > ".join(p for p in path[1:] if p)
        if not speakable(name):
            unnamed.append(f"{shown}  in {where}")
        elif show_all:
            print(f"  {shown}  in {where}")
    print(f"{len(found)} focusable controls, {len(unnamed)} without a name, "
          f"{len(lists_without_value)} lists without a value")
    for line in unnamed:
        print(f"UNNAMED {line}")
    return 1 if unnamed or lists_without_value else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
