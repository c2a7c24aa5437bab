#!/usr/bin/env bash
# Times the verification of a list of 10,000 small files: verify_list_tool against
# `md5sum -c --quiet` on the same list, interleaved run by run after one warm-up each. Prints both
# medians and the time ratio ours / md5sum, by elapsed time and by CPU time; fails when the
# elapsed ratio is above 1.0.
# Usage: bench/verify_list_vs_md5sum.sh BUILD_DIR [RUNS]
set -euo pipefail

build="${1:?usage: bench/verify_list_vs_md5sum.sh BUILD_DIR [RUNS]}"
runs="${2:-7}"
files=10000
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
tool="$build/bench/verify_list_tool"
if [ ! -x "$tool" ]; then
    cmake --build "$build" --target verify_list_tool
fi
if [ "$runs" -lt 5 ]; then
    echo "at least 5 runs each" >&2
    exit 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# Random contents of 1 to 4096 bytes each, and their list as md5sum writes it.
perl -e 'open(my $r, "<", "/dev/urandom") or die;
         for my $i (0 .. $ARGV[0] - 1) {
             read($r, my $bytes, 1 + int(rand(4096)));
             open(my $f, ">", sprintf("file_%05d.dat", $i)) or die;
             binmode $f; print $f $bytes; close $f;
         }' "$files"
md5sum -- file_*.dat >list.md5

ours() { "$tool" "$work/list.md5" >/dev/null; }
theirs() { md5sum -c --quiet list.md5 >/dev/null; }

# The warm-ups fill the page cache and prove that both tools find every file intact.
ours || { echo "verify_list_tool did not verify the list" >&2; exit 1; }
theirs || { echo "md5sum -c did not verify the list" >&2; exit 1; }

# Prints "elapsed cpu" in seconds for one run (cpu: user plus system, the steadier figure on a
# busy machine).
measure() {
    local TIMEFORMAT='%3R %3U %3S' out
    out="$({ time "$@" >/dev/null 2>&1; } 2>&1)"
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' <<<"$out"
}

results="$work/results"
for ((i = 0; i < runs; i++)); do
    read -r ourElapsed ourCpu < <(measure ours)
    read -r theirElapsed theirCpu < <(measure theirs)
    echo "$ourElapsed $ourCpu $theirElapsed $theirCpu" >>"$results"
    printf 'run %d: verify_list_tool %.3f s (cpu %.3f s)   md5sum -c %.3f s (cpu %.3f s)\n' \
        "$((i + 1))" "$ourElapsed" "$ourCpu" "$theirElapsed" "$theirCpu"
done

median() { sort -g | awk '{ v[NR] = $1 } END {
    print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ourMedian="$(cut -d' ' -f1 "$results" | median)"
theirMedian="$(cut -d' ' -f3 "$results" | median)"
ourCpu="$(cut -d' ' -f2 "$results" | median)"
theirCpu="$(cut -d' ' -f4 "$results" | median)"
ratio="$(awk -v a="$ourMedian" -v b="$theirMedian" 'BEGIN { printf "%.3f", a / b }')"
cpuRatio="$(awk -v a="$ourCpu" -v b="$theirCpu" 'BEGIN { printf "%.3f", a / b }')"

echo "verifying a list of $files small files, median of $runs interleaved runs each:"
echo "  verify_list_tool    $ourMedian s (cpu $ourCpu s)"
echo "  md5sum -c --quiet   $theirMedian s (cpu $theirCpu s)"
echo "  time ratio ours/md5sum $ratio elapsed (target <= 1.0), $cpuRatio cpu"
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.0) }'
