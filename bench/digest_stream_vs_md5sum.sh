#!/usr/bin/env bash
# Times digestStream (through digest_stream_tool) against md5sum on the same 1 GiB file in the
# page cache, interleaved run by run after one warm-up each, and checks that the digests agree.
# Prints the median ratio of throughputs, ours / md5sum's, by elapsed time and by CPU time (user
# plus system; the steadier figure on a busy machine); fails when the elapsed ratio is below 1.
# Usage: bench/digest_stream_vs_md5sum.sh BUILD_DIR [RUNS]
# The file is kept in ${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench} for later runs.
set -euo pipefail

build="${1:?usage: bench/digest_stream_vs_md5sum.sh BUILD_DIR [RUNS]}"
runs="${2:-7}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
tool="$build/bench/digest_stream_tool"
if [ ! -x "$tool" ]; then
    cmake --build "$build" --target digest_stream_tool
fi
if [ "$runs" -lt 5 ]; then
    echo "at least 5 runs each" >&2
    exit 2
fi

dir="${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench}"
file="$dir/one-gib.bin"
size=$((1024 * 1024 * 1024))
mkdir -p "$dir"
if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" -ne "$size" ]; then
    head -c "$size" /dev/urandom >"$file.part"
    mv "$file.part" "$file"
fi
cat "$file" >/dev/null # into the page cache

ours="$("$tool" "$file" | cut -d' ' -f1)"
theirs="$(md5sum "$file" | cut -d' ' -f1)"
if [ "$ours" != "$theirs" ]; then
    echo "digests differ: digest_stream_tool $ours, md5sum $theirs" >&2
    exit 1
fi

# Prints "elapsed cpu" in seconds for one run of the command.
measure() {
    local out
    out="$({ /usr/bin/time -f '%e %U %S' "$@" >/dev/null; } 2>&1)"
    awk '{ printf "%s %.2f\n", $1, $2 + $3 }' <<<"$out"
}

results="$(mktemp)"
trap 'rm -f "$results"' EXIT
for ((i = 0; i < runs; i++)); do
    read -r ourElapsed ourCpu < <(measure "$tool" "$file")
    read -r theirElapsed theirCpu < <(measure md5sum "$file")
    echo "$ourElapsed $ourCpu $theirElapsed $theirCpu" >>"$results"
    printf 'run %d: digestStream %5.2f s (cpu %5.2f s)   md5sum %5.2f s (cpu %5.2f s)\n' \
        "$((i + 1))" "$ourElapsed" "$ourCpu" "$theirElapsed" "$theirCpu"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
elapsedRatio="$(awk '{ print $3 / $1 }' "$results" | median)"
cpuRatio="$(awk '{ print $4 / $2 }' "$results" | median)"
printf 'digestStream over 1 GiB vs md5sum, median of %d interleaved runs: throughput ratio %.3fx (elapsed), %.3fx (cpu)\n' \
    "$runs" "$elapsedRatio" "$cpuRatio"
awk -v r="$elapsedRatio" 'BEGIN { exit !(r >= 1.0) }'
