#!/usr/bin/env bash
# Checks folders, pasted checksums and coreutils' lists from outside, as a user meets them: on a
# virtual X server with a window manager and the accessibility bus, it
#   1. drags a folder onto the window (in "Generate Checksums" mode) from a small GTK program
#      with the mouse, copies the report with Alt+T and reads it back with `md5sum -c` from the
#      folder's parent;
#   2. puts the checksum of one of the folder's files on the clipboard with xclip, presses
#      Ctrl+V, and reads the status strip through AT-SPI ("Matches ...");
#   3. finds the drop-down list labelled "Algorithm" through AT-SPI, opens it with the pointer,
#      chooses SHA-256 with the arrow keys, hashes the folder again and reads the report back
#      with `sha256sum --strict -c`;
#   4. checks lists written by sha1sum, sha256sum --tag, sha512sum and b2sum in "Check Files"
#      mode: every entry OK but the file changed on purpose, and no line left not understood.
# Leaves a screenshot of the window after the paste in the given file.
# Usage: scripts/check_folder_and_paste.sh BUILD_DIR [SCREENSHOT.png]
set -euo pipefail
# shellcheck source=lib/x_session.sh
. "$(dirname "$0")/lib/x_session.sh"
x_session_args "usage: scripts/check_folder_and_paste.sh BUILD_DIR [SCREENSHOT.png]" "$@"
x_session_needs "xvfb openbox xdotool xclip dbus" Xvfb openbox xdotool xclip dbus-run-session
x_session_needs_pyatspi
/usr/bin/python3 -c 'import gi; gi.require_version("Gtk", "3.0")' 2>/dev/null || {
    echo "needs GTK for Python (apt-get install python3-gi gir1.2-gtk-3.0)" >&2
    exit 2
}
x_session_private_bus "$@"

x_session_start --window-manager --accessibility-bus
# The algorithm chosen below is remembered in a profile of the check's own.
export XDG_CONFIG_HOME="$work/config"

# The folder: files in subfolders, a hidden one, a name with a space.
mkdir -p "$work/photos/2024" "$work/photos/2025"
printf 'harbour' >"$work/photos/2024/harbour.jpg"
printf 'ferry' >"$work/photos/2025/ferry boat.jpg"
printf 'index' >"$work/photos/index.html"
printf 'thumbs' >"$work/photos/.thumbnails"

# A drag source of GTK's own: pressed, it drags the folder as text/uri-list, as Nautilus does.
cat >"$work/gtk_source.py" <<'PY'
import sys
import gi
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk

uri = "file://" + sys.argv[1]
window = Gtk.Window(title="gtk drag source")
window.set_default_size(160, 80)
window.move(0, 0)
label = Gtk.EventBox()
label.add(Gtk.Label(label="drag me"))
label.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
                      Gdk.DragAction.COPY)
label.connect("drag-data-get", lambda w, c, data, i, t: data.set_uris([uri]))
label.connect("drag-end", lambda *a: print("drag ended", flush=True))
window.add(label)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
PY
/usr/bin/python3 "$work/gtk_source.py" "$work/photos" >"$work/source.log" 2>&1 &
pids+=($!)

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 x_session_start_program --generate
x_session_find_window
sleep 1

# 1. The folder dragged from the GTK program, the report copied and checked by md5sum.
# shellcheck disable=SC2046
xdotool $(x_session_drag_to_window 80 40)
sleep 2
xdotool windowactivate --sync "$window" key --clearmodifiers alt+t
sleep 0.5
xclip -selection clipboard -o >"$work/photos.md5"
echo "report of the dragged folder:"
sed 's/^/  /' "$work/photos.md5"
[ "$(grep -c . "$work/photos.md5")" -eq 4 ] || { echo "expected 4 report lines" >&2; exit 1; }
(cd "$work" && md5sum --strict -c photos.md5) || { echo "md5sum did not check the report" >&2; exit 1; }

# An AT-SPI client: prints the strip's text, or chooses an entry of the "Algorithm" box.
cat >"$work/atspi.py" <<'PY'
import sys
import time
import pyatspi

def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Brackwater Digestor" and app.childCount > 0:
            return app
    sys.exit("no application on the accessibility bus")

def walk(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        if child.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE):
            yield from walk(child)

app = application()
if sys.argv[1] == "strip":
    texts = [n.name for n in walk(app) if n.getRole() == pyatspi.ROLE_LABEL and n.name]
    print("\n".join(texts))
elif sys.argv[1] == "choose":
    # A drop-down list reads its entry as its name; its own name is that of its label.
    def labelled(node, name):
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                if relation.getTarget(0).name == name:
                    return True
        return False
    boxes = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_COMBO_BOX and labelled(n, "Algorithm")]
    if not boxes:
        sys.exit("no drop-down list labelled Algorithm")
    box = boxes[0]
    if len(sys.argv) > 2:
        # Waits for the keys that choose the entry (sent by the caller) to take.
        for _ in range(30):
            if box.name == sys.argv[2]:
                print("Algorithm:", box.name)
                sys.exit(0)
            time.sleep(0.1)
        sys.exit("the drop-down list shows " + box.name)
    # Where it is on the screen, for the pointer.
    x, y, width, height = box.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(x + width // 2, y + height // 2)
PY

# 2. A checksum pasted with xclip and Ctrl+V: the strip says which row matches.
md5sum <"$work/photos/2025/ferry boat.jpg" | cut -d' ' -f1 | sed 's/^/MD5: /' |
    xclip -selection clipboard
xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+v
sleep 1
/usr/bin/python3 "$work/atspi.py" strip >"$work/strip.txt"
[ -n "$shot" ] && import -window "$window" "$shot" 2>/dev/null || true
grep -qx "Matches photos/2025/ferry boat.jpg" "$work/strip.txt" || {
    echo "the strip did not say what matched:" >&2
    cat "$work/strip.txt" >&2
    exit 1
}
echo "pasted with xclip and Ctrl+V: $(grep Matches "$work/strip.txt")"

# 3. SHA-256 chosen through the accessibility bus; the report read back by sha256sum.
read -r boxX boxY < <(/usr/bin/python3 "$work/atspi.py" choose)
xdotool windowactivate --sync "$window" mousemove "$boxX" "$boxY" click 1
sleep 0.5
xdotool key --clearmodifiers Down Down Down Return
/usr/bin/python3 "$work/atspi.py" choose SHA-256
xdotool windowactivate --sync "$window" key --clearmodifiers alt+c
# shellcheck disable=SC2046
xdotool $(x_session_drag_to_window 80 40)
sleep 2
xdotool windowactivate --sync "$window" key --clearmodifiers alt+t
sleep 0.5
xclip -selection clipboard -o | tail -n 4 >"$work/photos.sha256"
(cd "$work" && sha256sum --strict -c photos.sha256) ||
    { echo "sha256sum did not check the SHA-256 report" >&2; exit 1; }

# 4. Lists written by coreutils, checked in "Check Files" mode from the command line.
for tool in "sha1sum" "sha256sum --tag" "sha512sum" "b2sum"; do
    name="$(echo "$tool" | tr -d ' -')"
    [ "$tool" = b2sum ] && name=B2SUMS
    (cd "$work" && $tool photos/2024/harbour.jpg "photos/2025/ferry boat.jpg" photos/index.html \
        >"$name")
done
printf 'changed' >"$work/photos/index.html"
xdotool windowactivate --sync "$window" key Escape
wait "$program" || true
: >"$work/stderr.log"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 x_session_start_program sha1sum sha256sumtag sha512sum B2SUMS
x_session_find_window
sleep 2
/usr/bin/python3 "$work/atspi.py" strip >"$work/strip.txt"
echo "the four coreutils lists checked: $(grep checked "$work/strip.txt")"
grep -qx "4 lists, 12 files checked: 8 OK, 4 FAILED" "$work/strip.txt" ||
    { echo "the lists were not checked as expected" >&2; exit 1; }
for tag in SHA1 SHA256 SHA512 BLAKE2b; do
    grep -q "md5sum: $tag check failed for 'photos/index.html'" "$work/stderr.log" ||
        { echo "no $tag failure for the changed file" >&2; exit 1; }
done
if grep -q "unrecognized line" "$work/stderr.log"; then
    echo "a line of a coreutils list was not understood" >&2
    exit 1
fi
xdotool windowactivate --sync "$window" key Escape
echo "folders, pasted checksums and coreutils' lists: OK"
