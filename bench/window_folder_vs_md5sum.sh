#!/usr/bin/env bash
# Folders dropped on the real window (Qt offscreen) in "Generate Checksums" mode, every row in the
# list and painted, start-up included:
#   1,500 files of 1 MiB against `find DIR -type f | xargs md5sum` on the same files, interleaved
#   run by run after one warm-up each (page cache warm); target: time ratio ours / theirs <= 0.6.
#   100,000 small files (1 B to 2 KiB, in 100 folders): the longest time the window went without
#   serving its events (target <= 100 ms), and its peak memory against the window's peak with a
#   checksum list of the same files, whose rows are the same (target: at most 64 MiB more).
# Prints the figures; fails when a target is missed.
# Usage: bench/window_folder_vs_md5sum.sh BUILD_DIR [RUNS]
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/window_folder_vs_md5sum.sh BUILD_DIR [RUNS]" 5 3 "$@"
bench_tools window_drop_qt
tool="$build/bench/window_drop_qt"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
bench_data_folder
status=0

# 1. 1,500 files of 1 MiB, in 15 folders.
large="$dir/folder-large"
if [ "$(find "$large" -type f 2>/dev/null | wc -l)" -ne 1500 ]; then
    rm -rf "$large"
    for ((f = 0; f < 15; f++)); do
        mkdir -p "$large/$f"
        for ((i = 0; i < 100; i++)); do
            head -c $((1 << 20)) /dev/urandom >"$large/$f/$i.dat"
        done
    done
fi
ours() {
    local out
    out="$("$tool" --generate "$large" 2>/dev/null)"
    grep -q '^rows ok 1500 failed 0 unreadable 0$' <<<"$out" ||
        { echo "the window did not hash the folder: $out" >&2; exit 1; }
}
theirs() { find "$large" -type f -print0 | xargs -0 md5sum >/dev/null; }
ours && theirs
bench_interleaved
printf 'a folder of 1,500 files of 1 MiB, median of %d interleaved runs:\n' "$runs"
printf '  window %.3f s   find | xargs md5sum %.3f s   ratio %s (target <= 0.6)\n' \
    "$ourMedian" "$theirMedian" "$ratio"
bench_at_most "$ratio" 0.6 || status=1

# 2. 100,000 small files: the window stays served; the walk costs little memory beyond the rows.
small="$dir/folder-small"
if [ "$(find "$small" -type f -name '*.dat' 2>/dev/null | wc -l)" -ne 100000 ]; then
    rm -rf "$small"
    for ((f = 0; f < 100; f++)); do
        mkdir -p "$small/$f"
        bench_small_files "$small/$f" 1000 1 2048 '%03d.dat'
    done
fi
(cd "$dir" && find folder-small -type f -name '*.dat' -print0 | xargs -0 md5sum >small.md5)
peakOf() { # peak resident MiB and the window's output, of one run
    /usr/bin/time -f '%M' -o "$dir/peak" "$tool" "$@" 2>/dev/null >"$dir/out"
    awk '{ printf "%.1f", $1 / 1024 }' "$dir/peak"
}
folderPeak="$(peakOf --generate "$small")"
grep -q '^rows ok 100000 failed 0 unreadable 0$' "$dir/out" ||
    { echo "the window did not hash the small files: $(head -n1 "$dir/out")" >&2; exit 1; }
gap="$(sed -n 's/^longest gap \([0-9.]*\) ms$/\1/p' "$dir/out")"
listPeak="$(peakOf "$dir/small.md5")"
more="$(awk -v a="$folderPeak" -v b="$listPeak" 'BEGIN { printf "%.1f", a - b }')"
printf 'a folder of 100,000 small files:\n'
printf '  longest time without serving the window %s ms (target <= 100)\n' "$gap"
printf '  peak memory %s MiB; with a list of the same files %s MiB; the walk %s MiB more (target <= 64)\n' \
    "$folderPeak" "$listPeak" "$more"
bench_at_most "$gap" 100 || status=1
bench_at_most "$more" 64 || status=1
exit "$status"
