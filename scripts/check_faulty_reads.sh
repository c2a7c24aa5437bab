#!/usr/bin/env bash
# Checks from outside that a file system's misbehaving reads never give a wrong checksum: mounts
# a small FUSE file system of its own (scripts/faulty_fs.cpp, direct I/O) whose files come back
# in short pieces, fail with EIO part-way, or hold less than their size says, and on a virtual X
# server with a window manager
#   1. checks a list of them with the real program ("Check Files"): the files read whole are OK,
#      the failing ones "error reading", none FAILED;
#   2. hashes them in "Generate Checksums" mode, copies the report with Alt+T and compares it
#      with md5sum's digests: lines for the files read whole, none for the failing ones;
# once with io_uring allowed and, as root, once more with it switched off for the whole system
# (kernel.io_uring_disabled=2, put back afterwards).
# Usage: scripts/check_faulty_reads.sh BUILD_DIR
set -euo pipefail
# shellcheck source=lib/x_session.sh
. "$(dirname "$0")/lib/x_session.sh"
x_session_args "usage: scripts/check_faulty_reads.sh BUILD_DIR" "$@"
x_session_needs "xvfb openbox xdotool xclip fuse3 libfuse3-dev pkg-config" \
    Xvfb openbox xdotool xclip fusermount3 pkg-config
[ -e /dev/fuse ] || { echo "needs /dev/fuse" >&2; exit 2; }

x_session_start --window-manager
mkdir "$work/mnt" "$work/truth"
g++ -std=c++20 -O2 "$(dirname "$0")/faulty_fs.cpp" $(pkg-config --cflags --libs fuse3) \
    -o "$work/faulty_fs"
# Attributes are kept as the kernel last saw them: after a short read the kernel takes the file
# to end there, and every later open is told that size, as it would be between two drops.
"$work/faulty_fs" "$work/mnt" -o ro,attr_timeout=86400,entry_timeout=86400
trap 'fusermount3 -u "$work/mnt" 2>/dev/null || true; x_session_cleanup' EXIT

# The true digests: the same pattern of bytes, written to ordinary files.
"$work/faulty_fs" --write-pattern="$work/truth/4m" 4194304
"$work/faulty_fs" --write-pattern="$work/truth/200k" 200000
"$work/faulty_fs" --write-pattern="$work/truth/3m" 3145728
good="$(md5sum <"$work/truth/4m" | cut -c1-32)"
short="$(md5sum <"$work/truth/200k" | cut -c1-32)"
late="$(md5sum <"$work/truth/3m" | cut -c1-32)"
# eio_small and eio_late are listed with the digests their whole bytes would have.
cat >"$work/mnt.md5" <<EOF
$good  good
$good  choppy
$short  eio_small
$late  eio_late
$short  short_big
EOF
echo "md5sum -c over the FUSE files, for comparison:"
(cd "$work/mnt" && md5sum -c "$work/mnt.md5" 2>&1 | sed 's/^/  /') || true

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# run_checks LABEL: both modes with the real program, as io_uring stands now.
run_checks() {
    local label="$1"
    echo "== $label"
    # 1. "Check Files": the list is in another folder, so the files are named by full paths.
    sed "s|  |  $work/mnt/|" "$work/mnt.md5" >"$work/full.md5"
    x_session_start_program "$work/full.md5"
    x_session_find_window
    sleep 2
    xdotool windowactivate --sync "$window" key --clearmodifiers Escape
    wait "$program" || true
    echo "  Check Files, the program's diagnostics:"
    x_session_program_diagnostics "    "
    if grep -q "check failed" "$work/stderr.log"; then
        fail "$label: a file read whole or in error was FAILED"
    fi
    for name in eio_small eio_late; do
        if ! grep -q "error reading $work/mnt/$name" "$work/stderr.log"; then
            fail "$label: $name was not said to be unreadable"
        fi
    done

    # 2. "Generate Checksums": the report, copied to the clipboard.
    (cd "$work/mnt" && exec "$build/app/digestor" --generate good choppy eio_small eio_late \
        short_big) 2>"$work/stderr.log" &
    program=$!
    pids+=("$program")
    x_session_find_window
    sleep 2
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+t
    sleep 0.5
    xclip -selection clipboard -o | tr -d '\r' >"$work/report.md5"
    xdotool windowactivate --sync "$window" key --clearmodifiers Escape
    wait "$program" || true
    echo "  Generate Checksums, the report:"
    sed 's/^/    /' "$work/report.md5"
    printf '%s *good\n%s *choppy\n%s *short_big\n' "$good" "$good" "$short" >"$work/expected.md5"
    if ! diff -u "$work/expected.md5" "$work/report.md5" >/dev/null; then
        fail "$label: the report is not md5sum's digests of the files read whole"
    fi
}

run_checks "io_uring allowed ($(cat /proc/sys/kernel/io_uring_disabled 2>/dev/null || echo ?))"
if [ "$(id -u)" -eq 0 ] && [ -w /proc/sys/kernel/io_uring_disabled ]; then
    saved="$(cat /proc/sys/kernel/io_uring_disabled)"
    echo 2 >/proc/sys/kernel/io_uring_disabled
    run_checks "io_uring switched off"
    echo "$saved" >/proc/sys/kernel/io_uring_disabled
else
    echo "not root: the run with io_uring switched off is left out"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "every file read whole has md5sum's digest, every file that failed is said to be unreadable"
