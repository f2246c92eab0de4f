#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""The timing half of window_export_bench.sh. Prints the wall time and the processor time (user and
system, every thread) of one export, in seconds.

  window_export_drive.py window <list file> <pdf> <pid>
      drives the Leafbind window just started as <pid> through the accessibility bus, as assistive
      technology would: loads the list through the Load dialog, presses Create..., types the name
      into the real save dialog and accepts it with Enter; timed from that key until the status
      line, read on the bus, says "Done".
  window_export_drive.py engine <leafbind-export> <list file> <pdf>
      the engine alone on the same list: the window's bytes."""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib

APPLICATION = "Export JPG images to PDF file"
VIEWS = {"list", "tree", "table", "tree table"}


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APPLICATION:
            return app
    return None


def find(node, role, name=None):
    if node is None or node.getRoleName() in VIEWS:
        return None
    if node.getRoleName() == role and (name is None or node.name == name):
        return node
    for i in range(node.childCount):
        hit = find(node.getChildAtIndex(i), role, name)
        if hit is not None:
            return hit
    return None


def until(what, why, seconds=60.0, pause=0.05):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = what()
        except GLib.GError:
            value = None
        if value:
            return value
        time.sleep(pause)
    sys.exit(f"window_export_drive: gave up waiting for {why}")


def shown_dialog(title):
    app = application()
    for i in range(app.childCount if app is not None else 0):
        child = app.getChildAtIndex(i)
        if (child is not None and child.getRoleName() == "dialog" and child.name == title
                and child.getState().contains(pyatspi.STATE_SHOWING)):
            return child
    return None


def status():
    label = find(find(application(), "status bar"), "label")
    return label.name if label is not None else ""


def press(button_name):
    """Presses a button of the main window; the press of one that opens a modal dialog answers
    only when the dialog closes, so the answer is not waited for."""
    button = until(lambda: find(application(), "push button", button_name), button_name)
    action = button.queryAction()
    Atspi.set_timeout(1500, -1)
    try:
        action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))
    except GLib.GError as error:
        if "reply" not in str(error).lower():
            raise


def answer(title, path, pid, prepare=lambda: time.sleep(0.3)):
    """Types the name into the dialog and accepts it with Enter, as a person does. Returns the
    moment of the key and the program's processor time then."""
    box = until(lambda: shown_dialog(title), title)
    field = until(lambda: find(box, "text"), "the name field")
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                            capture_output=True, text=True, check=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    field.queryComponent().grabFocus()
    subprocess.run(["xdotool", "key", "--clearmodifiers", "ctrl+a"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "15", path], check=True)
    until(lambda: field.queryText().getText(0, -1) == path, "the typed name")
    prepare()
    cpu, start = cpu_seconds(pid), time.monotonic()
    subprocess.run(["xdotool", "key", "Return"], check=True)
    return start, cpu


def cpu_seconds(pid):
    """User and system time of a running process, all its threads."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def clear_outputs(pdf):
    """Removes the earlier outputs beside the PDF and writes back what is pending, right before
    each timing, window or engine alike. The moment matters on a virtual machine that hands freed
    memory back to its host after a second or two: a write into memory handed back costs several
    times the processor time of one into memory just freed."""
    folder = os.path.dirname(pdf)
    for name in os.listdir(folder):
        if name.endswith(".pdf"):
            os.unlink(os.path.join(folder, name))
    os.sync()
    time.sleep(0.3)  # lets the window settle, as a person does before the last key


def window(list_file, pdf, pid):
    until(lambda: status() == "Ready", "the window")
    press("Load...")
    answer("Load images list", list_file, pid)
    until(lambda: status() == "Images list loaded", "the list")
    # The status line is found once: walking the tree after the export would add its round trips
    # on the bus (tens of milliseconds, in the window's own processor time too) to the timing.
    label = until(lambda: find(find(application(), "status bar"), "label"), "the status line")
    press("Create...")
    start, cpu = answer("Save as", pdf, pid, lambda: clear_outputs(pdf))
    until(lambda: label.name == "Done, PDF saved as: " + pdf, "Done", 600, 0.005)
    return time.monotonic() - start, cpu_seconds(pid) - cpu


def engine(program, list_file, pdf):
    clear_outputs(pdf)
    start = time.monotonic()
    child = subprocess.Popen([program, "-q", "-l", list_file, "-o", pdf])
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit("window_export_drive: leafbind-export failed")
    return time.monotonic() - start, usage.ru_utime + usage.ru_stime


def main(argv):
    if len(argv) == 5 and argv[1] == "window":
        seconds, cpu = window(argv[2], argv[3], int(argv[4]))
    elif len(argv) == 5 and argv[1] == "engine":
        seconds, cpu = engine(argv[2], argv[3], argv[4])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    print(f"{seconds:.3f} {cpu:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
