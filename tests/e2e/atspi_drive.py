#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Drives the running Leafbind window through the desktop's accessibility bus, as assistive
technology would, with no pointer or keyboard: presses buttons, fills a file dialog's name and
accepts it, and reads the status line. One step per run; the exit status says whether it was done.

  atspi_drive.py press <button>                  presses an enabled button of any window
  atspi_drive.py fill <dialog> <text> <button>   types <text> as the dialog's file name, presses <button>
  atspi_drive.py showing <dialog>                succeeds while a dialog of that title is open
  atspi_drive.py status                          prints the status line
"""
import sys

import pyatspi
from gi.repository import Atspi, GLib

APPLICATION = "Export JPG images to PDF file"


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APPLICATION:
            return app
    return None


# Views of many items: nothing driven here lies inside them, and walking their cells only costs time.
VIEWS = {"list", "tree", "table", "tree table"}


def find(node, role, name=None):
    if node is None:
        return None
    if node.getRoleName() == role and (name is None or node.name == name):
        return node
    if node.getRoleName() in VIEWS:
        return None
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), role, name)
        if hit is not None:
            return hit
    return None


def dialog(title):
    """The open dialog of that title. Dialogs are windows of their own, children of the
    application; a closed one stays there, hidden, for its next showing."""
    app = application()
    for i in range(app.childCount if app is not None else 0):
        child = app.getChildAtIndex(i)
        if (child is not None and child.getRoleName() == "dialog" and child.name == title
                and child.getState().contains(pyatspi.STATE_SHOWING)):
            return child
    return None


def press(node):
    """Runs the button's press action. A press that opens a modal dialog answers only when that
    dialog closes, so the answer is not waited for: the caller checks what the press did."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        return False  # a disabled button offers no action
    Atspi.set_timeout(1500, -1)
    try:
        action.doAction(names.index("Press"))
    except GLib.GError as error:
        if "reply" not in str(error).lower():
            raise
    return True


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "press" and len(argv) == 3:
        button = find(application(), "push button", argv[2])
        return 0 if button is not None and press(button) else 1
    if command == "fill" and len(argv) == 5:
        box = dialog(argv[2])
        field = find(box, "text")  # the file name field is the dialog's only line of text
        button = find(box, "push button", argv[4])
        if field is None or button is None:
            return 1
        field.queryEditableText().setTextContents(argv[3])
        if field.queryText().getText(0, -1) != argv[3]:
            return 1
        return 0 if press(button) else 1
    if command == "showing" and len(argv) == 3:
        return 0 if dialog(argv[2]) is not None else 1
    if command == "status" and len(argv) == 2:
        label = find(find(application(), "status bar"), "label")
        if label is None:
            return 1
        print(label.name)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


sys.exit(main(sys.argv))
