#!/usr/bin/env bash
# Checks long work from outside the program, as its users see it: on a virtual X server with a
# window manager and the accessibility bus, a checksum list naming a 3 GiB file (in the page
# cache) is dragged onto the window with the real pointer; a screen reader's client (pyatspi)
# asks the window for its progress bar every 50 ms all through the check, timing each answer, and
# takes a screenshot; then the list is dragged again and Stop is pressed with the pointer.
# Leaves the screenshot in the given file.
# Usage: scripts/check_long_work.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
build="${1:?usage: scripts/check_long_work.sh BUILD_DIR [SCREENSHOT.png]}"
shot="${2:-/dev/null}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
here="$(cd "$(dirname "$0")" && pwd)"
for tool in Xvfb openbox xdotool import dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || {
        echo "needs $tool (apt-get install xvfb openbox xdotool imagemagick dbus at-spi2-core" \
             "python3-pyatspi)" >&2
        exit 2
    }
done

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${CHECK_LONG_WORK_INNER:-}" ]; then
    exec env CHECK_LONG_WORK_INNER=1 dbus-run-session -- "$0" "$@"
fi

work="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

# The digest in the list does not matter: the check must only run to its end.
head -c 3G /dev/urandom >"$work/big.iso"
printf '%s  big.iso\n' 0123456789abcdef0123456789abcdef >"$work/list.md5"

Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
sleep 1
openbox >/dev/null 2>&1 &
pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 1

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
(cd "$work" && exec "$build/app/digestor") 2>"$work/stderr.log" &
program=$!
pids+=($program)
"$build/scripts/drag_source" "$work/list.md5" >/dev/null 2>&1 &
pids+=($!)

window=""
for _ in $(seq 50); do
    window="$(xdotool search --onlyvisible --name '^Brackwater Digestor$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not open" >&2; exit 1; }
xdotool windowmove "$window" 300 100
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
drag_source="$(xdotool search --name '^drag source$' | head -n1)"
xdotool windowmove "$drag_source" 0 0
sleep 0.3

# The drag, run by the probe once it knows the window: press on the source, move over the window
# in steps (the drag protocol needs motion), release.
targetX=$((X + WIDTH / 2))
targetY=$((Y + HEIGHT / 2))
drag="xdotool mousemove 80 40 mousedown 1"
for step in $(seq 1 20); do
    drag+=" mousemove $((80 + (targetX - 80) * step / 20)) $((40 + (targetY - 40) * step / 20))"
    drag+=" sleep 0.05"
done
drag+=" mouseup 1"

status=0
# shellcheck disable=SC2086
/usr/bin/python3 "$here/long_work_probe.py" "$shot" $drag || status=$?

# The window is idle again: Escape ends the program.
sleep 0.5
xdotool windowfocus "$window" key Escape 2>/dev/null || true
wait "$program" || true
grep -v -e XDG_RUNTIME_DIR -e 'raise()' "$work/stderr.log" | sed 's/^/  program: /' || true
exit "$status"
