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

build="${1:?usage: bench/side_by_side_vs_md5sum.sh BUILD_DIR [RUNS]}"
runs="${2:-7}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
for tool in verify_list_tool digest_stream_tool; do
    if [ ! -x "$build/bench/$tool" ]; then
        cmake --build "$build" --target "$tool"
    fi
done
if [ "$runs" -lt 5 ]; then
    echo "at least 5 runs each" >&2
    exit 2
fi

dir="${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench}"
mkdir -p "$dir/large" "$dir/small"

# 1. The files, made once: random contents, and their lists as md5sum writes them.
for ((i = 0; i < 48; i++)); do
    file="$(printf '%s/large/file_%02d.dat' "$dir" "$i")"
    if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" -ne $((32 << 20)) ]; then
        head -c $((32 << 20)) /dev/urandom >"$file.part"
        mv "$file.part" "$file"
    fi
done
if [ "$(find "$dir/small" -name 'file_*.dat' | wc -l)" -ne 10000 ]; then
    rm -f "$dir/small"/file_*.dat
    perl -e 'open(my $r, "<", "/dev/urandom") or die;
             for my $i (0 .. 9999) {
                 read($r, my $bytes, 100 + int(rand(8093)));
                 open(my $f, ">", sprintf("%s/file_%05d.dat", $ARGV[0], $i)) or die;
                 binmode $f; print $f $bytes; close $f;
             }' "$dir/small"
fi
gib="$dir/one-gib.bin"
if [ ! -f "$gib" ] || [ "$(stat -c %s "$gib")" -ne $((1 << 30)) ]; then
    head -c $((1 << 30)) /dev/urandom >"$gib.part"
    mv "$gib.part" "$gib"
fi
(cd "$dir/large" && md5sum -- file_*.dat >list.md5)
(cd "$dir/small" && md5sum -- file_*.dat >list.md5)
(cd "$dir" && md5sum -- one-gib.bin >one-gib.md5)
# 100,000 lines: the small files ten times over, for the memory figure.
(cd "$dir/small" && for ((i = 0; i < 10; i++)); do cat list.md5; done >long.md5)

ours() { "$build/bench/verify_list_tool" "$1" >/dev/null; }
theirs() { (cd "$(dirname "$1")" && md5sum -c --quiet "$(basename "$1")" >/dev/null); }
digestStream() { "$build/bench/digest_stream_tool" "$gib" >/dev/null; }

elapsed() {
    local start="$EPOCHREALTIME"
    "$@" || { echo "failed: $*" >&2; exit 1; }
    local end="$EPOCHREALTIME"
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
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
        ourTimes+=("$(elapsed ours "$list")")
        theirTimes+=("$(elapsed theirs "$list")")
        [ -z "$withStream" ] || streamTimes+=("$(elapsed digestStream)")
    done
    local ourMedian theirMedian ratio
    ourMedian="$(median "${ourTimes[@]}")"
    theirMedian="$(median "${theirTimes[@]}")"
    ratio="$(awk -v a="$ourMedian" -v b="$theirMedian" 'BEGIN { printf "%.3f", a / b }')"
    printf '%s, median of %d interleaved runs:\n' "$label" "$runs"
    printf '  verifyList %.3f s   md5sum -c %.3f s   ratio ours/md5sum %s' \
        "$ourMedian" "$theirMedian" "$ratio"
    if [ -n "$withStream" ]; then
        local streamMedian streamRatio
        streamMedian="$(median "${streamTimes[@]}")"
        streamRatio="$(awk -v a="$ourMedian" -v b="$streamMedian" 'BEGIN { printf "%.3f", a / b }')"
        printf '\n  digestStream %.3f s   ratio ours/digestStream %s (target <= 1.0)' \
            "$streamMedian" "$streamRatio"
        awk -v r="$streamRatio" 'BEGIN { exit !(r <= 1.0) }' || status=1
    else
        printf ' (target <= %s)' "$target"
        awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r <= t) }' || status=1
    fi
    printf '\n  peak memory of the first run %s MiB (target <= 64)\n' "$memory"
    awk -v m="$memory" 'BEGIN { exit !(m <= 64) }' || status=1
}

compare "48 files of 32 MiB" "$dir/large/list.md5" 0.20
compare "10,000 files of 100 B to 8 KiB" "$dir/small/list.md5" 0.50
compare "one file of 1 GiB" "$dir/one-gib.md5" "" stream
memory="$(peak "$dir/small/long.md5")"
echo "a list of 100,000 lines: peak memory $memory MiB (target <= 64)"
awk -v m="$memory" 'BEGIN { exit !(m <= 64) }' || status=1
exit "$status"
