#!/usr/bin/env bash
# Checks a real drop from another X client: starts the program on a virtual X server, starts a
# small drag source, drags a checksum list from it onto the window with the mouse (xdotool), and
# checks the verification ran. Leaves a screenshot in the given file.
# Usage: scripts/check_real_drop.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
# shellcheck source=lib/x_session.sh
. "$(dirname "$0")/lib/x_session.sh"
x_session_args "usage: scripts/check_real_drop.sh BUILD_DIR [SCREENSHOT.png]" "$@"
x_session_needs "xvfb xdotool" Xvfb xdotool

x_session_start
x_session_write_lists
x_session_start_program
x_session_start_drag_source "$work/list.md5" "$work/source.log"
x_session_find_window
sleep 0.5

# shellcheck disable=SC2046
xdotool $(x_session_drag_to_window 80 40)
sleep 1.5

[ -n "$shot" ] && import -window root "$shot" 2>/dev/null || true
# Escape ends the program, with exit status 0.
xdotool windowfocus "$window" key Escape 2>/dev/null || true
status=0
wait "$program" || status=$?
echo "the program ended with status $status after Escape"

echo "drag source: $(cat "$work/source.log")"
echo "program's diagnostics:"
x_session_program_diagnostics "  "
grep -q "md5sum: MD5 check failed for 'changed'" "$work/stderr.log" || {
    echo "the dropped list was not verified" >&2
    exit 1
}
echo "a real drop from another X client was verified"
