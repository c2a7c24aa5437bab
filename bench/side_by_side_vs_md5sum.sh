#!/usr/bin/env bash
# Times verifyList's side-by-side hashing (through verify_list_tool) against `md5sum -c --quiet`
# on three lists, interleaved run by run after one warm-up each (which also fills the page cache):
#   48 files of 32 MiB each         target: time ratio ours / md5sum <= 0.20
#   10,000 files of 100 B to 8 KiB  target: time ratio ours / md5sum <= 0.50
#   one file of 1 GiB               target: no slower than digestStream (digest_stream_tool),
#                                   timed in the same rotation
# Prints the medians and their ratios, and the peak memory (maximum resident set) of the first
# run of each list and of a list of 100,000 lines (target: 64 MiB). Fails when a target is missed.
# Usage: bench/side_by_side_vs_md5sum.sh BUILD_DIR [RUNS]
# The files are kept in ${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench} for later runs.
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/side_by_side_vs_md5sum.sh BUILD_DIR [RUNS]" 7 5 "$@"
bench_tools verify_list_tool digest_stream_tool

bench_data_folder
mkdir -p "$dir/large" "$dir/small"

# 1. The files, made once: random contents, and their lists as md5sum writes them.
for ((i = 0; i < 48; i++)); do
    bench_random_file "$(printf '%s/large/file_%02d.dat' "$dir" "$i")" $((32 << 20))
done
if [ "$(find "$dir/small" -name 'file_*.dat' | wc -l)" -ne 10000 ]; then
    rm -f "$dir/small"/file_*.dat
    bench_small_files "$dir/small" 10000 100 8192 'file_%05d.dat'
fi
gib="$dir/one-gib.bin"
bench_random_file "$gib" $((1 << 30))
(cd "$dir/large" && md5sum -- file_*.dat >list.md5)
(cd "$dir/small" && md5sum -- file_*.dat >list.md5)
(cd "$dir" && md5sum -- one-gib.bin >one-gib.md5)
# 100,000 lines: the small files ten times over, for the memory figure.
(cd "$dir/small" && for ((i = 0; i < 10; i++)); do cat list.md5; done >long.md5)

ours() { "$build/bench/verify_list_tool" "$1" >/dev/null; }
theirs() { bench_md5sum_check "$1"; }
digestStream() { "$build/bench/digest_stream_tool" "$gib" >/dev/null; }

# Peak resident memory of one run, in MiB.
peak() {
    /usr/bin/time -f '%M' -o "$dir/peak" "$build/bench/verify_list_tool" "$1" >/dev/null
    awk '{ printf "%.1f", $1 / 1024 }' "$dir/peak"
}

status=0
# 2. One list: warm-ups, then interleaved runs; "label list target [digestStream]".
compare() {
    local label="$1" list="$2" target="$3" withStream="${4:-}"
    local memory ourTimes=() theirTimes=() streamTimes=()
    memory="$(peak "$list")" # the first run, which also warms the cache
    theirs "$list" || { echo "md5sum -c did not verify $list" >&2; exit 1; }
    [ -z "$withStream" ] || digestStream
    for ((i = 0; i < runs; i++)); do
        ourTimes+=("$(bench_elapsed ours "$list")")
        theirTimes+=("$(bench_elapsed theirs "$list")")
        [ -z "$withStream" ] || streamTimes+=("$(bench_elapsed digestStream)")
    done
    local ourMedian theirMedian ratio
    ourMedian="$(bench_median "${ourTimes[@]}")"
    theirMedian="$(bench_median "${theirTimes[@]}")"
    ratio="$(bench_ratio "$ourMedian" "$theirMedian")"
    printf '%s, median of %d interleaved runs:\n' "$label" "$runs"
    printf '  verifyList %.3f s   md5sum -c %.3f s   ratio ours/md5sum %s' \
        "$ourMedian" "$theirMedian" "$ratio"
    if [ -n "$withStream" ]; then
        local streamMedian streamRatio
        streamMedian="$(bench_median "${streamTimes[@]}")"
        streamRatio="$(bench_ratio "$ourMedian" "$streamMedian")"
        printf '\n  digestStream %.3f s   ratio ours/digestStream %s (target <= 1.0)' \
            "$streamMedian" "$streamRatio"
        bench_at_most "$streamRatio" 1.0 || status=1
    else
        printf ' (target <= %s)' "$target"
        bench_at_most "$ratio" "$target" || status=1
    fi
    printf '\n  peak memory of the first run %s MiB (target <= 64)\n' "$memory"
    bench_at_most "$memory" 64 || status=1
}

compare "48 files of 32 MiB" "$dir/large/list.md5" 0.20
compare "10,000 files of 100 B to 8 KiB" "$dir/small/list.md5" 0.50
compare "one file of 1 GiB" "$dir/one-gib.md5" "" stream
memory="$(peak "$dir/small/long.md5")"
echo "a list of 100,000 lines: peak memory $memory MiB (target <= 64)"
bench_at_most "$memory" 64 || status=1
exit "$status"
