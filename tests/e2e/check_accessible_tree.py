#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Checks how the running Leafbind window presents itself on the desktop's accessibility bus, as a
screen reader finds it: a frame named after the window, every button's hint as its description,
the preview and the list named for what they show. Prints what differs; exits 1 when anything does."""
import sys

import pyatspi

HINTS = {
    "Add...": "Add JPG images to list",
    "Remove": "Remove selected image from list",
    "Create...": "Export images to PDF",
    "Clear": "Clear all fields",
    "Save...": "Save images list",
    "Load...": "Load images list",
    "About...": "About Leafbind",
    "Exit": "Exit Leafbind",
}


def walk(node):
    if node is None:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i))


def main():
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "Export JPG images to PDF file"), None)
    if app is None:
        print("the application is not on the accessibility bus")
        return 1
    problems = []
    windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
    main_window = next((w for w in windows if w is not None and w.name == "Leafbind 1.0"), None)
    if main_window is None:
        problems.append("no top-level named \"Leafbind 1.0\"")
    elif main_window.getRoleName() != "frame":
        problems.append(f"the main window is a \"{main_window.getRoleName()}\", not a \"frame\"")
    nodes = list(walk(main_window))
    for caption, hint in HINTS.items():
        button = next((n for n in nodes if n.getRoleName() == "push button" and n.name == caption), None)
        if button is None:
            problems.append(f"no button \"{caption}\"")
        elif button.description != hint:
            problems.append(f"button \"{caption}\" describes itself as \"{button.description}\", not \"{hint}\"")
    if not any(n.name == "Image Preview" for n in nodes):
        problems.append("nothing is named \"Image Preview\"")
    if not any(n.getRoleName() == "list" and n.name == "Images to export" for n in nodes):
        problems.append("no list named \"Images to export\"")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


sys.exit(main())
