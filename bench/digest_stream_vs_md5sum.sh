#!/usr/bin/env bash
# Times digestStream (through digest_stream_tool) against md5sum on the same 1 GiB file in the
# page cache, interleaved run by run after one warm-up each, and checks that the digests agree.
# Prints the median ratio of throughputs, ours / md5sum's, by elapsed time and by CPU time (user
# plus system; the steadier figure on a busy machine); fails when the elapsed ratio is below 1.
# Usage: bench/digest_stream_vs_md5sum.sh BUILD_DIR [RUNS]
# The file is kept in ${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench} for later runs.
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/digest_stream_vs_md5sum.sh BUILD_DIR [RUNS]" 7 5 "$@"
bench_tools digest_stream_tool
tool="$build/bench/digest_stream_tool"

bench_data_folder
file="$dir/one-gib.bin"
bench_random_file "$file" $((1024 * 1024 * 1024))
cat "$file" >/dev/null # into the page cache

ours="$("$tool" "$file" | cut -d' ' -f1)"
theirs="$(md5sum "$file" | cut -d' ' -f1)"
if [ "$ours" != "$theirs" ]; then
    echo "digests differ: digest_stream_tool $ours, md5sum $theirs" >&2
    exit 1
fi

bench_work_folder
results="$work/results"
for ((i = 0; i < runs; i++)); do
    read -r ourElapsed ourCpu < <(bench_measure "$tool" "$file")
    read -r theirElapsed theirCpu < <(bench_measure md5sum "$file")
    echo "$ourElapsed $ourCpu $theirElapsed $theirCpu" >>"$results"
    printf 'run %d: digestStream %5.2f s (cpu %5.2f s)   md5sum %5.2f s (cpu %5.2f s)\n' \
        "$((i + 1))" "$ourElapsed" "$ourCpu" "$theirElapsed" "$theirCpu"
done

# shellcheck disable=SC2046 # one number a run
elapsedRatio="$(bench_median $(awk '{ print $3 / $1 }' "$results"))"
# shellcheck disable=SC2046
cpuRatio="$(bench_median $(awk '{ print $4 / $2 }' "$results"))"
printf 'digestStream over 1 GiB vs md5sum, median of %d interleaved runs: throughput ratio %.3fx (elapsed), %.3fx (cpu)\n' \
    "$runs" "$elapsedRatio" "$cpuRatio"
bench_at_least "$elapsedRatio" 1.0
