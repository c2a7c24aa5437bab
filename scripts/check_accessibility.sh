#!/usr/bin/env bash
# Checks the window as a screen reader sees it, over the desktop's accessibility bus (AT-SPI):
# starts the program with a checksum list on its command line on a virtual X server with a window
# manager, then, as an AT-SPI client (pyatspi), finds the two mode radio buttons and the list
# named "Results", switches modes through the buttons' accessibility actions, and drags a list
# onto the window after each switch to see that the mode took. Leaves a screenshot of the window
# at start in the given file.
# Usage: scripts/check_accessibility.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
# shellcheck source=lib/x_session.sh
. "$(dirname "$0")/lib/x_session.sh"
x_session_args "usage: scripts/check_accessibility.sh BUILD_DIR [SCREENSHOT.png]" "$@"
x_session_needs "xvfb openbox xdotool dbus" Xvfb openbox xdotool dbus-run-session
x_session_needs_pyatspi
x_session_private_bus "$@"

x_session_start --window-manager
x_session_write_lists
printf '900150983cd24fb0d6963f7d28e17f72  good\n' >"$work/start.md5"

x_session_start_drag_source "$work/list.md5" "$work/source.log"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 x_session_start_program start.md5

/usr/bin/python3 - "$shot" <<'PY'
import subprocess
import sys
import time

import pyatspi

shot = sys.argv[1]
LISTS = (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE)


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def wait_for(probe, what, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Brackwater Digestor" and app.childCount > 0:
            return app
    return None


def controls(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        yield child
        if child.getRole() not in LISTS:
            yield from controls(child)


def checked(button):
    return button.getState().contains(pyatspi.STATE_CHECKED)


def rows(table):
    # A list that is being refilled can count a row whose cell is gone by the time it is asked
    # for: then its rows are not known yet (None), and a waiting caller asks again.
    cells = table.queryTable()
    found = [cells.getAccessibleAt(row, 0) for row in range(cells.nRows)]
    return None if None in found else [cell.name for cell in found]


def choose(radios, name, action):
    button = radios[name]
    actions = button.queryAction()
    names = [actions.getName(i).lower() for i in range(actions.nActions)]
    if action not in names:
        fail(f"'{name}' offers no '{action}' action, only {names}")
    actions.doAction(names.index(action))
    wait_for(lambda: checked(button), f"'{name}' to be chosen")
    time.sleep(0.2)
    chosen = [n for n, b in radios.items() if checked(b)]
    if chosen != [name]:
        fail(f"after '{action}' on '{name}' the chosen buttons are {chosen}")
    print(f"'{action}' on '{name}': it alone is chosen")


def drag_list_onto_window():
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                             "^Brackwater Digestor$"], capture_output=True, text=True)
    window_id = window.stdout.split()[0]
    geometry = dict(line.split("=") for line in subprocess.run(
        ["xdotool", "getwindowgeometry", "--shell", window_id],
        capture_output=True, text=True).stdout.split())
    x = int(geometry["X"]) + int(geometry["WIDTH"]) // 2
    y = int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2
    subprocess.run(["xdotool", "mousemove", "80", "50", "mousedown", "1"], check=True)
    for step in range(1, 21):
        subprocess.run(["xdotool", "mousemove", str(80 + (x - 80) * step // 20),
                        str(50 + (y - 50) * step // 20)], check=True)
        time.sleep(0.05)
    subprocess.run(["xdotool", "mouseup", "1"], check=True)


app = wait_for(application, "the program on the accessibility bus")
found = list(controls(app))
radios = {c.name: c for c in found if c.getRole() == pyatspi.ROLE_RADIO_BUTTON}
if sorted(radios) != ["Check Files", "Generate Checksums"]:
    fail(f"radio buttons {sorted(radios)}; check boxes "
         f"{[c.name for c in found if c.getRole() == pyatspi.ROLE_CHECK_BOX]}")
print("two radio buttons: 'Check Files', 'Generate Checksums'")
tables = [c for c in found if c.getRole() in LISTS]
if [t.name for t in tables] != ["Results"]:
    fail(f"lists named {[t.name for t in tables]}")
results = tables[0]
print("the result list is named 'Results'")

# The list named on the command line was checked once the window showed.
wait_for(lambda: rows(results) == ["OK: good"], "the start-up list's row")
if not checked(radios["Check Files"]) or checked(radios["Generate Checksums"]):
    fail("the window did not start in 'Check Files' mode")
print("start-up list checked:", rows(results))
if shot:
    subprocess.run(["import", "-window", "root", shot], check=False)

choose(radios, "Generate Checksums", "toggle")
drag_list_onto_window()
wait_for(lambda: (rows(results) or [])[:1] == ["OK: list.md5"], "the dropped list to be hashed")
print("the next drop was hashed:", rows(results)[0])

choose(radios, "Check Files", "press")
drag_list_onto_window()
wait_for(lambda: rows(results) == ["FAILED: changed", "OK: good"], "the dropped list to be checked")
print("the next drop was checked:", rows(results))
PY

x_session_find_window
xdotool windowactivate --sync "$window" key Escape
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || { echo "the program ended with status $status" >&2; exit 1; }
echo "a screen reader's client sees two radio buttons and switches modes with them"
