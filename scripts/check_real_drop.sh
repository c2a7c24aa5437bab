#!/usr/bin/env bash
# Checks a real drop from another X client: starts the program on a virtual X server, starts a
# small drag source, drags a checksum list from it onto the window with the mouse (xdotool), and
# checks the verification ran. Leaves a screenshot in the given file.
# Usage: scripts/check_real_drop.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
build="${1:?usage: scripts/check_real_drop.sh BUILD_DIR [SCREENSHOT.png]}"
shot="${2:-}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool)" >&2; exit 2; }
done

work="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

printf 'abc' >"$work/good"
printf 'abd' >"$work/changed"
printf '900150983cd24fb0d6963f7d28e17f72  good\n900150983cd24fb0d6963f7d28e17f72  changed\n' \
    >"$work/list.md5"

Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
sleep 1

(cd "$work" && exec "$build/app/digestor") 2>"$work/stderr.log" &
program=$!
pids+=($program)
"$build/scripts/drag_source" "$work/list.md5" >"$work/source.log" 2>/dev/null &
pids+=($!)

window=""
for _ in $(seq 50); do
    window="$(xdotool search --onlyvisible --name '^Brackwater Digestor$' 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not open" >&2; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
targetX=$((X + WIDTH / 2))
targetY=$((Y + HEIGHT / 2))

# Press on the source, move over the window in steps (the drag protocol needs motion), release.
xdotool mousemove 80 40 mousedown 1
for step in $(seq 1 20); do
    xdotool mousemove $((80 + (targetX - 80) * step / 20)) $((40 + (targetY - 40) * step / 20))
    sleep 0.05
done
xdotool mouseup 1
sleep 1.5

[ -n "$shot" ] && import -window root "$shot" 2>/dev/null || true
# Escape ends the program, with exit status 0.
xdotool windowfocus "$window" key Escape 2>/dev/null || true
status=0
wait "$program" || status=$?
echo "the program ended with status $status after Escape"

echo "drag source: $(cat "$work/source.log")"
echo "program's diagnostics:"
sed 's/^/  /' "$work/stderr.log" | grep -v -e XDG_RUNTIME_DIR -e 'raise()' || true
grep -q "md5sum: MD5 check failed for 'changed'" "$work/stderr.log" || {
    echo "the dropped list was not verified" >&2
    exit 1
}
echo "a real drop from another X client was verified"
