# shellcheck shell=bash
# The set-up shared by the checks that run the program on a virtual X server: their arguments,
# the tools they need, a private session bus, the X server with a window manager and the
# accessibility bus, the program and the drag source, and the cleanup when the check exits.
# Sourced by those checks, never run on its own.

# x_session_args USAGE BUILD_DIR [SCREENSHOT.png]: sets build and shot (empty when not given),
# both absolute, or stops with USAGE.
x_session_args() {
    local usage="$1"
    shift
    build="${1:?$usage}"
    shot="${2:-}"
    case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
    case "$shot" in /* | "") ;; *) shot="$PWD/$shot" ;; esac
}

# x_session_needs PACKAGES TOOL...: stops with status 2, naming the Debian packages to install,
# when one of the tools is missing.
x_session_needs() {
    local packages="$1" tool
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null || {
            echo "needs $tool (apt-get install $packages)" >&2
            exit 2
        }
    done
}

# x_session_needs_pyatspi: stops with status 2 when Python cannot talk to the accessibility bus.
x_session_needs_pyatspi() {
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || {
        echo "needs pyatspi (apt-get install python3-pyatspi at-spi2-core)" >&2
        exit 2
    }
}

# x_session_private_bus "$@": runs the whole check again, with the same arguments, on a private
# session bus (through which the accessibility bus is found), unless this is that run already;
# then ends with the status of that run. The bus daemon's own chatter is left out.
x_session_private_bus() {
    [ -z "${X_SESSION_PRIVATE_BUS:-}" ] || return 0
    local status=0
    X_SESSION_PRIVATE_BUS=1 dbus-run-session -- "$0" "$@" \
        2> >(grep -v -e 'fd limit' -e 'ctivat' -e 'SpiRegistry' >&2) || status=$?
    exit "$status"
}

# x_session_start [--window-manager] [--accessibility-bus]: makes a work folder (work), starts a
# virtual X server on a display of its own (exported as DISPLAY) and, as asked, openbox and the
# AT-SPI bus launcher. When the check exits, every process it started (pids) is ended and the
# work folder removed.
x_session_start() {
    work="$(mktemp -d)"
    pids=()
    trap x_session_cleanup EXIT
    local display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY="$display"
    sleep 1
    [ $# -gt 0 ] || return 0
    local option
    for option in "$@"; do
        case "$option" in
        --window-manager) openbox >/dev/null 2>&1 & ;;
        --accessibility-bus) /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & ;;
        *) echo "x_session_start: unknown option $option" >&2; exit 2 ;;
        esac
        pids+=($!)
    done
    sleep 1
}

x_session_cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    rm -rf "$work"
}

# x_session_write_lists: in the work folder, the file good ("abc"), the file changed ("abd") and
# list.md5, which gives both the digest of "abc": checked, it has one match and one mismatch.
x_session_write_lists() {
    printf 'abc' >"$work/good"
    printf 'abd' >"$work/changed"
    printf '900150983cd24fb0d6963f7d28e17f72  good\n900150983cd24fb0d6963f7d28e17f72  changed\n' \
        >"$work/list.md5"
}

# x_session_start_program [ARG...]: starts the program in the work folder with its standard error
# in $work/stderr.log; program is its process ID.
x_session_start_program() {
    (cd "$work" && exec "$build/app/digestor" "$@") 2>"$work/stderr.log" &
    program=$!
    pids+=("$program")
}

# x_session_start_drag_source FILE [LOG]: starts the small drag source (at the top left of the
# screen) that offers FILE, with its report in LOG.
x_session_start_drag_source() {
    "$build/scripts/drag_source" "$1" >"${2:-/dev/null}" 2>/dev/null &
    pids+=($!)
}

# x_session_find_window: waits up to 5 s for the program's window; window is its X ID.
x_session_find_window() {
    window=""
    for _ in $(seq 50); do
        window="$(xdotool search --onlyvisible --name '^Brackwater Digestor$' 2>/dev/null |
            head -n1 || true)"
        [ -n "$window" ] && return 0
        sleep 0.1
    done
    echo "the window did not open" >&2
    exit 1
}

# x_session_drag_to_window FROM_X FROM_Y: prints the xdotool commands of a drag with the mouse
# from the point given to the middle of the window: a press, 20 moves 50 ms apart (the drag
# protocol needs motion), a release.
x_session_drag_to_window() {
    # shellcheck disable=SC2034 # SCREEN and WINDOW come with the geometry, unused
    local fromX="$1" fromY="$2" X Y WIDTH HEIGHT SCREEN WINDOW step drag
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local toX=$((X + WIDTH / 2)) toY=$((Y + HEIGHT / 2))
    drag="mousemove $fromX $fromY mousedown 1"
    for step in $(seq 1 20); do
        drag+=" mousemove $((fromX + (toX - fromX) * step / 20))"
        drag+=" $((fromY + (toY - fromY) * step / 20)) sleep 0.05"
    done
    echo "$drag mouseup 1"
}

# x_session_program_diagnostics PREFIX: the program's standard error, each line after PREFIX,
# without the platform's notes that say nothing about the check.
x_session_program_diagnostics() {
    grep -v -e XDG_RUNTIME_DIR -e 'raise()' "$work/stderr.log" | sed "s/^/$1/" || true
}
