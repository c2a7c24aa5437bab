#!/usr/bin/env bash
# Starts the program from a build folder, or explains how when there is no desktop to show it on.
set -euo pipefail
build=${1:-build}
exe="$build/app/digestor"
if [ ! -x "$exe" ]; then
    echo "The program was not built: $exe is missing." >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
Brackwater Digestor is a desktop program and no display was found.
Run it from a graphical session (DISPLAY or WAYLAND_DISPLAY set), for example:
  $exe
or on a virtual X server (Debian package xvfb):
  xvfb-run -s '-screen 0 1280x800x24' $exe
MSG
    exit 2
fi
exec "$exe"
