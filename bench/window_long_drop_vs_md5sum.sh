#!/usr/bin/env bash
# Times a checksum list naming one 3 GiB file (in the page cache) dropped on the real window (Qt
# offscreen) against digestStream alone (digest_stream_tool) and md5sum on the same file, the
# three interleaved run by run after one warm-up each. Prints the medians, the two ratios and the
# longest time the window's work went without serving its events; fails when a goal is missed:
# window <= 1.02 x digestStream, window <= 1.0 x md5sum, gap <= 100 ms.
# Usage: bench/window_long_drop_vs_md5sum.sh BUILD_DIR [RUNS] [GIB]
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/window_long_drop_vs_md5sum.sh BUILD_DIR [RUNS] [GIB]" 5 1 "$@"
gib="${3:-3}"
bench_tools window_drop_qt digest_stream_tool
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

bench_work_folder
cd "$work"
head -c "$((gib * 1024 * 1024 * 1024))" /dev/urandom >big.iso
md5sum big.iso >list.md5

gapsFile="$work/gaps"
window() {
    local out
    out="$("$build/bench/window_drop_qt" "$work/list.md5" 2>/dev/null)"
    grep -q '^rows ok 1 failed 0 unreadable 0$' <<<"$out" || {
        echo "the window did not verify the file: $out" >&2
        exit 1
    }
    sed -n 's/^longest gap \([0-9.]*\) ms$/\1/p' <<<"$out" >>"$gapsFile"
}
digest() { "$build/bench/digest_stream_tool" big.iso >/dev/null; }
peer() { md5sum big.iso >/dev/null; }

window && digest && peer # warm-ups: the file is in the page cache from here on
: >"$gapsFile"
windowTimes=()
digestTimes=()
peerTimes=()
for ((i = 0; i < runs; i++)); do
    windowTimes+=("$(bench_elapsed window)")
    digestTimes+=("$(bench_elapsed digest)")
    peerTimes+=("$(bench_elapsed peer)")
done

windowMedian="$(bench_median "${windowTimes[@]}")"
digestMedian="$(bench_median "${digestTimes[@]}")"
peerMedian="$(bench_median "${peerTimes[@]}")"
toDigest="$(bench_ratio "$windowMedian" "$digestMedian")"
toPeer="$(bench_ratio "$windowMedian" "$peerMedian")"
gap="$(sort -g "$gapsFile" | tail -n1)"

echo "one ${gib} GiB file in a list dropped on the window, median of $runs runs each (seconds):"
echo "  window (Qt $QT_QPA_PLATFORM)   $windowMedian"
echo "  digestStream alone       $digestMedian"
echo "  md5sum                   $peerMedian"
echo "  window/digestStream      $toDigest (target <= 1.02)"
echo "  window/md5sum            $toPeer (target <= 1.0)"
echo "  longest gap between event-serving points: $gap ms (target <= 100)"
awk -v a="$toDigest" -v b="$toPeer" -v g="$gap" 'BEGIN { exit !(a <= 1.02 && b <= 1.0 && g <= 100) }'
