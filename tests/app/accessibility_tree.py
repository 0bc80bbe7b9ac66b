# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader reads of the running program, through the accessibility bus.

The palette's cells are radio buttons named as their tooltips, the info view's columns carry
every figure of their country, and the map's name follows the keyboard's crosshair. Choosing a
piece through its cell and placing it with the keyboard changes what the names say.
"""
import atexit
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

CELL = re.compile(r"^[^,]+, value (\d+), (land|naval|neither land nor naval); (.+)$")
COLUMN = re.compile(r"^(.+): IPC (\d+), Convoy (\d+), Oil (\d+), Sum (\d+), Land (\d+), Naval (\d+)$")


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def wait_for(what, find, timeout=30):
    deadline = time.monotonic() + timeout
    while True:
        while GLib.MainContext.default().iteration(False):  # delivers the events heard
            pass
        try:
            found = find()
        except Exception:  # the tree changes while it is read
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            fail(f"{what}, after {timeout} s")
        time.sleep(0.2)


# The names a screen reader is told have changed: it speaks them when they are in its focus.
renamed = []
pyatspi.Registry.registerEventListener(
    lambda event: renamed.append(event.source.name), "object:property-change:accessible-name")
# Started once the listener is known, so that the program tells it from the start; it ends
# with the test.
program = subprocess.Popen(sys.argv[1:])
atexit.register(program.kill)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((a for a in children(desktop) if a is not None and a.name == "Marrowind"), None)


def window(title):
    return next((w for w in children(application()) if w.name == title and w.childCount), None)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def inside(inner, outer):
    return (outer[0] <= inner[0] and outer[1] <= inner[1] and
            inner[0] + inner[2] <= outer[0] + outer[2] and inner[1] + inner[3] <= outer[1] + outer[3])


def columns(info_view):
    return [COLUMN.match(c.name) for c in children(info_view)]


palette = wait_for("the ToolBar with its cells", lambda: window("ToolBar"))
info_view = wait_for("the InfoView with its columns", lambda: window("InfoView"))

# The palette: every cell a radio button named as its tooltip, on its own square of the window.
cells = children(palette)
area = extents(palette)
seen = set()
for cell in cells:
    if cell.getRoleName() != "radio button" or not CELL.match(cell.name):
        fail(f"palette cell [{cell.getRoleName()}] {cell.name!r}")
    if not inside(extents(cell), area) or extents(cell) in seen:
        fail(f"palette cell {cell.name!r} at {extents(cell)}, window at {area}")
    seen.add(extents(cell))

# The info view: a column per country, Sum the sum of the incomes, in the palette's countries.
figures = columns(info_view)
if not figures or not all(figures):
    fail(f"info view columns {[c.name for c in children(info_view)]}")
for f in figures:
    if int(f[5]) != int(f[2]) + int(f[3]) + int(f[4]):
        fail(f"info view column {f[0]!r}: Sum is not IPC + Convoy + Oil")
countries = {CELL.match(c.name)[3] for c in cells}
if countries != {f[1] for f in figures}:
    fail(f"palette countries {sorted(countries)}, info view {sorted(f[1] for f in figures)}")

main = next(w for w in children(application()) if w.getRoleName() == "frame" and w.name not in
            ("ToolBar", "InfoView"))
board = wait_for("the map in the main window",
                 lambda: next((n for n in walk(main) if n.name == "Map"), None))
if board.getRoleName() != "canvas" or "Arrow keys" not in board.description:
    fail(f"map [{board.getRoleName()}] {board.description!r}")
if not palette.description or not info_view.description:
    fail("the ToolBar and the InfoView say what they are for")

# Choose the first land piece of value of the first country through its cell.
first = figures[0][1]
cell = next(c for c in cells
            if CELL.match(c.name)[3] == first and CELL.match(c.name)[2] == "land" and
            int(CELL.match(c.name)[1]) > 0)
value, kind = int(CELL.match(cell.name)[1]), cell.name.split(",")[0]
cell.queryAction().doAction(0)
wait_for(f"{cell.name!r} checked once pressed",
         lambda: cell.getState().contains(pyatspi.STATE_CHECKED))
country = first.split(" (country")[0]

# Move the crosshair and press Enter: the map says what is under it, the column the new strength.
land = int(figures[0][6])
window_id = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "TessMapView"],
                           capture_output=True, text=True, check=True).stdout.split()[0]
subprocess.run(["xdotool", "windowactivate", "--sync", window_id], check=True)
subprocess.run(["xdotool", "key", "--delay", "100", "Right", "Return"], check=True)
placed = wait_for(f"the map naming the {kind} placed",
                  lambda: board.name.startswith(f"Map: Placing {kind} of {country}") and
                  board.name.endswith(f"1 {kind} of {country}") and board.name)
wait_for(f"Land {land + value} in the info view",
         lambda: int(columns(info_view)[0][6]) == land + value)
wait_for("the change of the map's name and of the column told",
         lambda: placed in renamed and children(info_view)[0].name in renamed)
print(f"ok: {len(cells)} palette cells, {len(figures)} columns; {placed!r}")
