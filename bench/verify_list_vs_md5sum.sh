#!/usr/bin/env bash
# Times the verification of a list of 10,000 small files: verify_list_tool against
# `md5sum -c --quiet` on the same list, interleaved run by run after one warm-up each. Prints both
# medians and the time ratio ours / md5sum, by elapsed time and by CPU time; fails when the
# elapsed ratio is above 1.0.
# Usage: bench/verify_list_vs_md5sum.sh BUILD_DIR [RUNS]
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/verify_list_vs_md5sum.sh BUILD_DIR [RUNS]" 7 5 "$@"
files=10000
bench_tools verify_list_tool
tool="$build/bench/verify_list_tool"

bench_work_folder
cd "$work"

# Random contents of 1 to 4096 bytes each, and their list as md5sum writes it.
bench_small_files . "$files" 1 4096 'file_%05d.dat'
md5sum -- file_*.dat >list.md5

ours() { "$tool" "$work/list.md5" >/dev/null; }
theirs() { bench_md5sum_check "$work/list.md5"; }

# The warm-ups fill the page cache and prove that both tools find every file intact.
ours || { echo "verify_list_tool did not verify the list" >&2; exit 1; }
theirs || { echo "md5sum -c did not verify the list" >&2; exit 1; }

results="$work/results"
for ((i = 0; i < runs; i++)); do
    read -r ourElapsed ourCpu < <(bench_measure ours)
    read -r theirElapsed theirCpu < <(bench_measure theirs)
    echo "$ourElapsed $ourCpu $theirElapsed $theirCpu" >>"$results"
    printf 'run %d: verify_list_tool %.3f s (cpu %.3f s)   md5sum -c %.3f s (cpu %.3f s)\n' \
        "$((i + 1))" "$ourElapsed" "$ourCpu" "$theirElapsed" "$theirCpu"
done

column() { cut -d' ' -f"$1" "$results"; }
# shellcheck disable=SC2046 # one number a run
{
    ourMedian="$(bench_median $(column 1))"
    theirMedian="$(bench_median $(column 3))"
    ourCpu="$(bench_median $(column 2))"
    theirCpu="$(bench_median $(column 4))"
}
ratio="$(bench_ratio "$ourMedian" "$theirMedian")"
cpuRatio="$(bench_ratio "$ourCpu" "$theirCpu")"

echo "verifying a list of $files small files, median of $runs interleaved runs each:"
echo "  verify_list_tool    $ourMedian s (cpu $ourCpu s)"
echo "  md5sum -c --quiet   $theirMedian s (cpu $theirCpu s)"
echo "  time ratio ours/md5sum $ratio elapsed (target <= 1.0), $cpuRatio cpu"
bench_at_most "$ratio" 1.0
