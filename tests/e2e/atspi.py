#!/usr/bin/python3
"""Reads and presses the program's widgets through the accessibility bus.

Usage (every command waits up to --timeout seconds, default 10, for its
widget to appear; exit status 1 with a message when it does not):
  atspi.py text NAME               the text of a label, field or button
  atspi.py rows NAME               the rows of a list, one a line
  atspi.py press CAPTION           presses the button with this caption
  atspi.py dialog-text             the texts of the open dialog, one a line
  atspi.py wait-text NAME REGEX [TIMEOUT]
                                   waits until the text of NAME matches REGEX
  atspi.py controls                the shown controls a user operates (check
                                   boxes, fields, lists, choice lists, buttons)
                                   of every window, one "ROLE<tab>NAME" a line;
                                   a choice list, whose name is its entry, by
                                   the label it is labelled by
  atspi.py dump                    the tree of every application, for debugging

Options come before the command: atspi.py --timeout 3 text Distill.

NAME is a widget's accessible name (for labels and buttons: their caption),
its accessible description (its tool tip unless the window sets one), its
accessible id where the toolkit publishes one (a path of object names), or
@X,Y: the smallest widget shown at X,Y twips inside the main window (the
application's first top-level window; 15 twips to a pixel). Qt 6.4 publishes
no object names and a label's text only as its name, so a label whose text
changes (lblStatus) or a list without a name (lstConverted) is found by its
place.
"""
import argparse
import re
import sys
import time

import pyatspi

POLL = 0.1


def walk(node, depth=0):
    """Every accessible below node (node included), with its depth."""
    if node is None:
        return
    yield node, depth
    try:
        count = node.childCount
    except Exception:  # the widget went away while we looked
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def applications():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None:
            yield app


def identifiers(node):
    """The names a test may use for node: accessible id, name, description."""
    names = []
    try:
        ident = node.get_accessible_id()
        if ident:
            # Possibly a path of object names ("frmMain.lblStatus").
            names += [ident, ident.rsplit(".", 1)[-1]]
    except Exception:  # an older at-spi without accessible ids
        pass
    return names + [node.name, node.description]


def find(predicate):
    for app in applications():
        for node, _ in walk(app):
            try:
                if predicate(node):
                    return node
            except Exception:
                continue
    return None


def wait_for(what, search, timeout):
    deadline = time.monotonic() + timeout
    while True:
        node = search()
        if node is not None:
            return node
        if time.monotonic() >= deadline:
            sys.exit(f"atspi: no {what} within {timeout:g} s")
        time.sleep(POLL)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def by_name(name):
    return lambda node: name in identifiers(node)


def shown_descendants(node):
    """Every widget below node that is shown, skipping hidden ones and all
    below them (a closed drop-down list says its entries are shown)."""
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
            if not showing(child):
                continue
        except Exception:
            continue
        yield child
        yield from shown_descendants(child)


def at_twips(x, y):
    """The smallest widget shown at x, y twips inside the main window."""
    best, best_area = None, None
    for app in applications():
        for window in shown_descendants(app):
            # Screen places: Qt 6.4 gives window-relative places as screen ones.
            try:
                origin = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            except Exception:
                return None
            px, py = origin[0] + x / 15, origin[1] + y / 15
            for node in shown_descendants(window):
                try:
                    left, top, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                except Exception:
                    continue
                if left <= px < left + width and top <= py < top + height:
                    if best is None or width * height < best_area:
                        best, best_area = node, width * height
            return best  # the main window is the application's first
    return best


def searcher(name):
    """A search for the widget NAME stands for: returns it, or None."""
    place = re.fullmatch(r"@(\d+),(\d+)", name)
    if place:
        x, y = int(place.group(1)), int(place.group(2))
        return lambda: at_twips(x, y)
    return lambda: find(by_name(name))


def locate(name, timeout):
    return wait_for(name, searcher(name), timeout)


def text_of(node):
    """What the widget shows: its text contents where it has them, else its name."""
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return node.name or ""


def rows_of(node):
    rows = []
    for child, depth in walk(node):
        if depth > 0 and child.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL):
            rows.append(text_of(child))
    return rows


def row_centre(node, text):
    """The screen place of the middle of a list's row that reads text."""
    for child, depth in walk(node):
        if depth > 0 and child.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL) \
                and text_of(child).strip() == text:
            box = child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            return box.x + box.width // 2, box.y + box.height // 2
    return None


def is_button(caption):
    def matches(node):
        if node.getRole() not in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON):
            return False
        # The caption as shown, without the mnemonic marker.
        return caption in (node.name, node.name.replace("&", "")) and showing(node)
    return matches


def is_dialog(node):
    return node.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT) and showing(node)


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click", "activate"):
            action.doAction(i)
            return
    action.doAction(0)


OPERATED = {pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_TEXT,
            pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_PUSH_BUTTON}


def label_of(node):
    if node.getRole() != pyatspi.ROLE_COMBO_BOX:
        return None
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets():
            return relation.getTarget(0).name
    return None


def controls():
    for app in applications():
        for node in shown_descendants(app):
            try:
                if node.getRole() in OPERATED:
                    print(f"{node.getRoleName()}\t{label_of(node) or node.name}")
            except Exception:
                continue


def dump():
    for app in applications():
        for node, depth in walk(app):
            try:
                print("  " * depth + f"[{node.getRoleName()}] name={node.name!r}"
                      f" description={node.description!r}")
            except Exception:
                continue


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--timeout", type=float, default=10)
    parser.add_argument("command", choices=["text", "rows", "row-place", "press", "dialog-text", "wait-text", "controls", "dump"])
    parser.add_argument("args", nargs="*")
    options = parser.parse_args()
    command, args, timeout = options.command, options.args, options.timeout
    needed = {"text": 1, "rows": 1, "row-place": 2, "press": 1, "dialog-text": 0, "controls": 0, "dump": 0}
    if command == "wait-text":
        if len(args) not in (2, 3):
            parser.error("wait-text NAME REGEX [TIMEOUT]")
        if len(args) == 3:
            timeout = float(args[2])
    elif len(args) != needed[command]:
        parser.error(f"{command} takes {needed[command]} argument(s)")

    if command == "dump":
        dump()
    elif command == "controls":
        controls()
    elif command == "text":
        print(text_of(locate(args[0], timeout)))
    elif command == "rows":
        for row in rows_of(locate(args[0], timeout)):
            print(row)
    elif command == "row-place":
        place = wait_for(f"row {args[1]!r} of {args[0]}",
                         lambda: row_centre(locate(args[0], timeout), args[1]), timeout)
        print(*place)
    elif command == "press":
        press(wait_for(f"button {args[0]!r}", lambda: find(is_button(args[0])), timeout))
    elif command == "dialog-text":
        dialog = wait_for("dialog", lambda: find(is_dialog), timeout)
        for node, _ in walk(dialog):
            if node.getRole() == pyatspi.ROLE_LABEL and text_of(node):
                print(text_of(node))
    elif command == "wait-text":
        name, pattern, search = args[0], re.compile(args[1]), searcher(args[0])
        deadline = time.monotonic() + timeout
        last = None
        while True:
            node = search()
            if node is not None:
                last = text_of(node)
                if pattern.search(last):
                    print(last)
                    return
            if time.monotonic() >= deadline:
                seen = "no such widget" if last is None else f"it reads {last!r}"
                sys.exit(f"atspi: {name} did not match {args[1]!r} within {timeout:g} s ({seen})")
            time.sleep(POLL)


if __name__ == "__main__":
    main()
