#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Prints the text of the status line of the running Leafbind window, read through the desktop's
accessibility bus as a screen reader would read it."""
import sys

import pyatspi


def find(node, role):
    if node is None:
        return None
    if node.getRoleName() == role:
        return node
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), role)
        if hit is not None:
            return hit
    return None


def main():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "Export JPG images to PDF file":
            continue
        bar = find(app, "status bar")
        label = find(bar, "label") if bar is not None else None
        if label is not None:
            print(label.name)
            return 0
    print("no status line found", file=sys.stderr)
    return 1


sys.exit(main())
