#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what the desktop reads from it: the desktop
# entry passes desktop-file-validate, and the checksum-list types it names are in the MIME
# database (globs *.md5, MD5SUMS, *.sha256, SHA256SUMS, *-CHECKSUM, ...) with the entry as their
# handler.
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
desktop-file-validate "$entry"
grep -qx "Exec=digestor %F" "$entry"
grep -qx "Exec=digestor --generate %F" "$entry"
# Each type with a glob of its own: "kind:glob".
for pair in 'md5:*.md5' 'md5:MD5SUMS' 'sha1:*.sha1' 'sha1:SHA1SUMS' 'sha224:*.sha224' \
            'sha224:SHA224SUMS' 'sha256:*.sha256' 'sha256:SHA256SUMS' 'sha384:*.sha384' \
            'sha384:SHA384SUMS' 'sha512:*.sha512' 'sha512:SHA512SUMS' 'blake2:*.b2' \
            'blake2:B2SUMS' 'sha3:*.sha3-256' 'blake3:*.b3' 'blake3:B3SUMS' 'xxhash:*.xxh128' \
            'sfv:*.sfv' 'checksum:*-CHECKSUM'; do
    type="application/x-brackwater-${pair%%:*}-list"
    grep -qF ":$type:${pair#*:}" "$prefix/share/mime/globs2" || {
        echo "no glob ${pair#*:} for $type" >&2
        exit 1
    }
    grep -q "MimeType=.*$type;" "$entry"
    grep -qx "$type=brackwater-digestor.desktop;" "$prefix/share/applications/mimeinfo.cache"
done
[ -x "$prefix/bin/digestor" ]
"$prefix/bin/digestor" --version >/dev/null
echo "desktop entry and MIME type: OK"
