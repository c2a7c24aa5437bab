#!/usr/bin/env bash
# Times a checksum list of 100,000 small files dropped on the real window (Qt offscreen, every
# row in the list and painted) against `md5sum -c --quiet` on the same list, interleaved run by
# run after one warm-up each. Prints both medians and the ratio ours / md5sum; fails when the
# ratio is above 1.5.
# Usage: bench/window_drop_vs_md5sum.sh BUILD_DIR [RUNS]
set -euo pipefail

build="${1:?usage: bench/window_drop_vs_md5sum.sh BUILD_DIR [RUNS]}"
runs="${2:-5}"
files=100000
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
tool="$build/bench/window_drop_qt"
if [ ! -x "$tool" ]; then
    cmake --build "$build" --target window_drop_qt
fi
if [ "$runs" -lt 5 ]; then
    echo "at least 5 runs each" >&2
    exit 2
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# Random contents of 1 to 2048 bytes each, and their list as md5sum writes it.
perl -e 'open(my $r, "<", "/dev/urandom") or die;
         for my $i (0 .. $ARGV[0] - 1) {
             read($r, my $bytes, 1 + int(rand(2048)));
             open(my $f, ">", sprintf("file_%06d.dat", $i)) or die;
             binmode $f; print $f $bytes; close $f;
         }' "$files"
find . -name 'file_*.dat' -printf '%f\0' | sort -z | xargs -0 md5sum -- >list.md5

ours() { "$tool" "$work/list.md5" 2>/dev/null; }
theirs() { md5sum -c --quiet list.md5 >/dev/null; }

# The warm-ups fill the page cache and prove that both find every file intact.
summary="$(ours | head -n1)"
if [ "$summary" != "rows ok $files failed 0 unreadable 0" ]; then
    echo "the window did not verify the list: $summary" >&2
    exit 1
fi
theirs || { echo "md5sum -c did not verify the list" >&2; exit 1; }

elapsed() {
    local start="$EPOCHREALTIME"
    "$@" >/dev/null
    local end="$EPOCHREALTIME"
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }'
}
ourTimes=()
theirTimes=()
for ((i = 0; i < runs; i++)); do
    ourTimes+=("$(elapsed ours)")
    theirTimes+=("$(elapsed theirs)")
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ourMedian="$(median "${ourTimes[@]}")"
theirMedian="$(median "${theirTimes[@]}")"
ratio="$(awk -v a="$ourMedian" -v b="$theirMedian" 'BEGIN { printf "%.3f", a / b }')"

echo "list of $files small files dropped on the window, median of $runs runs each (seconds):"
echo "  window (Qt $QT_QPA_PLATFORM)  $ourMedian"
echo "  md5sum -c --quiet       $theirMedian"
echo "  ratio window/md5sum     $ratio (target <= 1.5)"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }'
