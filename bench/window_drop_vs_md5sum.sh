#!/usr/bin/env bash
# Times a checksum list of 100,000 small files dropped on the real window (Qt offscreen, every
# row in the list and painted) against `md5sum -c --quiet` on the same list, interleaved run by
# run after one warm-up each. Prints both medians and the ratio ours / md5sum; fails when the
# ratio is above 1.5.
# Usage: bench/window_drop_vs_md5sum.sh BUILD_DIR [RUNS]
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/window_drop_vs_md5sum.sh BUILD_DIR [RUNS]" 5 5 "$@"
files=100000
bench_tools window_drop_qt
tool="$build/bench/window_drop_qt"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

bench_work_folder
cd "$work"

# Random contents of 1 to 2048 bytes each, and their list as md5sum writes it.
bench_small_files . "$files" 1 2048 'file_%06d.dat'
find . -name 'file_*.dat' -printf '%f\0' | sort -z | xargs -0 md5sum -- >list.md5

ours() { "$tool" "$work/list.md5" 2>/dev/null; }
theirs() { bench_md5sum_check "$work/list.md5"; }

# The warm-ups fill the page cache and prove that both find every file intact.
summary="$(ours | head -n1)"
if [ "$summary" != "rows ok $files failed 0 unreadable 0" ]; then
    echo "the window did not verify the list: $summary" >&2
    exit 1
fi
theirs || { echo "md5sum -c did not verify the list" >&2; exit 1; }

bench_interleaved

echo "list of $files small files dropped on the window, median of $runs runs each (seconds):"
echo "  window (Qt $QT_QPA_PLATFORM)  $ourMedian"
echo "  md5sum -c --quiet       $theirMedian"
echo "  ratio window/md5sum     $ratio (target <= 1.5)"
bench_at_most "$ratio" 1.5
