#!/usr/bin/env bash
# Checks long work from outside the program, as its users see it: on a virtual X server with a
# window manager and the accessibility bus, a checksum list naming a 3 GiB file (in the page
# cache) is dragged onto the window with the real pointer; a screen reader's client (pyatspi)
# asks the window for its progress bar every 50 ms all through the check, timing each answer, and
# takes a screenshot; then the list is dragged again and Stop is pressed with the pointer.
# Leaves the screenshot in the given file.
# Usage: scripts/check_long_work.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib/x_session.sh
. "$here/lib/x_session.sh"
x_session_args "usage: scripts/check_long_work.sh BUILD_DIR [SCREENSHOT.png]" "$@"
x_session_needs "xvfb openbox xdotool imagemagick dbus at-spi2-core python3-pyatspi" \
    Xvfb openbox xdotool import dbus-run-session /usr/libexec/at-spi-bus-launcher
x_session_needs_pyatspi
x_session_private_bus "$@"

x_session_start --window-manager --accessibility-bus
# The digest in the list does not matter: the check must only run to its end.
head -c 3G /dev/urandom >"$work/big.iso"
printf '%s  big.iso\n' 0123456789abcdef0123456789abcdef >"$work/list.md5"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
x_session_start_program
x_session_start_drag_source "$work/list.md5"
x_session_find_window
xdotool windowmove "$window" 300 100
sleep 0.5
drag_source="$(xdotool search --name '^drag source$' | head -n1)"
xdotool windowmove "$drag_source" 0 0
sleep 0.3

# The probe runs the drag once it knows the window.
status=0
# shellcheck disable=SC2046
/usr/bin/python3 "$here/long_work_probe.py" "${shot:-/dev/null}" \
    xdotool $(x_session_drag_to_window 80 40) || status=$?

# The window is idle again: Escape ends the program.
sleep 0.5
xdotool windowfocus "$window" key Escape 2>/dev/null || true
wait "$program" || true
x_session_program_diagnostics "  program: "
exit "$status"
