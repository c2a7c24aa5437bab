#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what the desktop reads from it: the desktop
# entry passes desktop-file-validate, and the MD5-list type it names is in the MIME database
# (globs *.md5 and MD5SUMS) with the entry as a handler.
# Usage: scripts/check_desktop_entry.sh BUILD_DIR
set -euo pipefail
build="${1:?usage: scripts/check_desktop_entry.sh BUILD_DIR}"
for tool in desktop-file-validate update-mime-database update-desktop-database; do
    command -v "$tool" >/dev/null || {
        echo "needs $tool (apt-get install desktop-file-utils shared-mime-info)" >&2
        exit 2
    }
done

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null 2>&1

entry="$prefix/share/applications/brackwater-digestor.desktop"
type="application/x-brackwater-md5-list"
desktop-file-validate "$entry"
grep -qx "Exec=digestor %F" "$entry"
grep -qx "Exec=digestor --generate %F" "$entry"
grep -qx "MimeType=$type;" "$entry"
grep -q ":$type:\*\.md5$" "$prefix/share/mime/globs2"
grep -q ":$type:MD5SUMS" "$prefix/share/mime/globs2"
grep -qx "$type=brackwater-digestor.desktop;" "$prefix/share/applications/mimeinfo.cache"
[ -x "$prefix/bin/digestor" ]
"$prefix/bin/digestor" --version >/dev/null
echo "desktop entry and MIME type: OK"
