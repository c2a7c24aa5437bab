#!/usr/bin/python3
"""Watches the running program through the accessibility bus, as a screen reader would, while it
verifies a large file: how long each request waits for an answer, how the progress bar's value
moves, and how soon Stop (pressed with the real pointer) ends the work.

Usage: long_work_probe.py SCREENSHOT.png DROP_COMMAND...
The probe finds the window's parts while the window is idle, then runs DROP_COMMAND to start the
work: once to watch the whole check, once more to stop it part-way. Prints one line per figure;
exits 1 when a goal is missed."""

import subprocess
import sys
import time

import pyatspi

screenshot = sys.argv[1]
drop_command = sys.argv[2:]


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


def watch(until_seconds, screenshot=None):
    """Drops the list and asks for the bar's value every 50 ms until the work ends or until
    until_seconds have passed; returns the slowest answer, the values seen and whether the work
    showed on the strip."""
    subprocess.run(drop_command, check=True)
    dropped = time.time()
    worst = 0.0
    values = []
    shown = False
    while time.time() - dropped < until_seconds:
        asked = time.time()
        values.append(value.currentValue)
        worst = max(worst, time.time() - asked)
        showing = bar.getState().contains(pyatspi.STATE_SHOWING)
        shown = shown or showing
        if screenshot and showing and time.time() - dropped > 1.5:
            subprocess.run(["import", "-window", "root", screenshot], check=False)
            screenshot = None
        if shown and not showing:
            break  # the work is over
        time.sleep(0.05)
    return worst, values, shown, time.time() - dropped


# The whole check, watched from the drop to its end.
worst, values, shown, took = watch(120, screenshot)
moving = [v for v in values if v > 0]
print(f"whole check: {took:.1f} s, strip afterwards {strip_text()!r}")
print(f"accessibility requests during it: {len(values)}, slowest answer {worst * 1000:.1f} ms")
print(f"progress bar values: first non-zero {moving[0] if moving else 0:.0f}, last seen "
      f"{values[-1]:.0f} (of 1000)")
check_failed = (not shown or worst > 0.1 or len(moving) < 2 or moving[-1] <= moving[0]
                or not strip_text().startswith("1 file checked"))

# Again, and Stop pressed with the real pointer part-way.
worst_again, _, _, _ = watch(1.5)
extents = stop.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
pressed = time.time()
subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
while time.time() - pressed < 5 and not strip_text().startswith("Stopped"):
    time.sleep(0.01)
stopped_after = time.time() - pressed
print(f"Stop pressed with the pointer: the strip said {strip_text()!r} after "
      f"{stopped_after * 1000:.0f} ms")

failed = (check_failed or worst_again > 0.1 or stopped_after > 0.5
          or not strip_text().startswith("Stopped"))
print("goals met" if not failed else "a goal was missed")
sys.exit(1 if failed else 0)
