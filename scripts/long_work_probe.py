#!/usr/bin/python3
"""Watches the running program through the accessibility bus, as a screen reader would, while it
verifies a large file: how long each request waits for an answer, how the progress bar's value
moves, and how soon Stop (pressed with the real pointer) ends the work.

Usage: long_work_probe.py WATCH_SECONDS SCREENSHOT.png DROP_COMMAND...
The probe finds the window's parts while the window is idle, then runs DROP_COMMAND to start the
work. Prints one line per figure; exits 1 when a goal is missed."""

import subprocess
import sys
import time

import pyatspi

watch_seconds = float(sys.argv[1])
screenshot = sys.argv[2]
drop_command = sys.argv[3:]


def find_app(names, timeout=10):
    end = time.time() + timeout
    seen = []
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        seen = [app.name for app in desktop if app is not None]
        for app in desktop:
            if app is not None and app.name in names:
                return app
        time.sleep(0.1)
    raise SystemExit(f"no application {names!r} on the accessibility bus, only {seen!r}")


def find(node, predicate):
    if predicate(node):
        return node
    for child in node:
        if child is None:
            continue
        found = find(child, predicate)
        if found is not None:
            return found
    return None


app = find_app(("digestor", "Brackwater Digestor"))
window = find(app, lambda n: n.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME))
bar = find(window, lambda n: n.getRole() == pyatspi.ROLE_PROGRESS_BAR)
stop = find(window, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "Stop")
labels = []
find(window, lambda n: n.getRole() == pyatspi.ROLE_LABEL and labels.append(n) and False)
if bar is None or stop is None:
    raise SystemExit("the strip's progress bar or Stop button is not on the accessibility bus")


def strip_text():
    texts = [label.name for label in labels]
    return next((t for t in texts if t.startswith(("Checking", "Stopped", "1 file"))), "")


# One request is one call on the bus: the bar's current value.
value = bar.queryValue()
subprocess.run(drop_command, check=True)
dropped = time.time()
worst = 0.0
values = []
shot_taken = False
shown_after = None
while time.time() - dropped < watch_seconds:
    asked = time.time()
    values.append(value.currentValue)
    worst = max(worst, time.time() - asked)
    if shown_after is None and bar.getState().contains(pyatspi.STATE_SHOWING):
        shown_after = time.time() - dropped
    if not shot_taken and time.time() - dropped > watch_seconds / 2:
        subprocess.run(["import", "-window", "root", screenshot], check=False)
        shot_taken = True
    time.sleep(0.05)

moving = [v for v in values if v > 0]
print(f"strip during the work: {strip_text()!r}, bar showing {shown_after:.2f} s after the drop"
      if shown_after is not None else "the strip never showed the work")
print(f"accessibility requests during the work: {len(values)}, slowest answer "
      f"{worst * 1000:.1f} ms")
print(f"progress bar values: first non-zero {moving[0] if moving else 0:.0f}, last "
      f"{values[-1]:.0f} (of 1000)")

extents = stop.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
pressed = time.time()
subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
while time.time() - pressed < 5 and not strip_text().startswith("Stopped"):
    time.sleep(0.01)
stopped_after = time.time() - pressed
print(f"Stop pressed with the pointer: the strip said {strip_text()!r} after "
      f"{stopped_after * 1000:.0f} ms")

failed = (worst > 0.1 or not moving or values[-1] <= moving[0] or stopped_after > 0.5
          or not strip_text().startswith("Stopped"))
print("goals met" if not failed else "a goal was missed")
sys.exit(1 if failed else 0)
