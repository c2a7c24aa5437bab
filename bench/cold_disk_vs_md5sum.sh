#!/usr/bin/env bash
# Times the check of many files that are not in memory: verify_list_tool against `md5sum -c`
# and against 16 parallel readers (`xargs -0 -P16 -n100 cat`, the pace the disk can keep), over
# the same list, with the page cache dropped before every run. The corpus is the system's own
# package lists (every /var/lib/dpkg/info/*.md5sums, checked from /), or LIST checked in FOLDER.
# Every round runs each command once, in an order rotated from round to round; the medians and
# the ratios ours / md5sum (target <= 0.5) and ours / parallel readers (target <= 1.3) are
# printed, with ours without read-ahead for comparison. Then one large file, cold: ours /
# md5sum (target <= 1.0). Fails when a target is missed, or when ours and md5sum disagree on
# what failed.
# Dropping the page cache needs root; without it the script says so, and the runs after the
# first measure a warm cache (no target is then held).
# Usage: bench/cold_disk_vs_md5sum.sh BUILD_DIR [ROUNDS [LIST FOLDER]]
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
usage="usage: bench/cold_disk_vs_md5sum.sh BUILD_DIR [ROUNDS [LIST FOLDER]]"
bench_args "$usage" 3 1 "$@"
bench_tools verify_list_tool
tool="$build/bench/verify_list_tool"
bench_work_folder

if [ $# -ge 4 ]; then
    list="$(realpath "$3")"
    folder="$(realpath "$4")"
else
    list="$work/packages.md5"
    folder=/
    cat /var/lib/dpkg/info/*.md5sums >"$list"
fi

# The names for the parallel readers, as the list gives them (escaped lines, rare, left out).
grep -v '^\\' "$list" | sed -E 's/^[0-9a-fA-F]{32} [ *]//' | tr '\n' '\0' >"$work/names"

cold=1
drop() {
    if [ "$cold" = 1 ]; then
        sync
        echo 3 >/proc/sys/vm/drop_caches
        sleep 1
    fi
}
if ! { [ -w /proc/sys/vm/drop_caches ] && sync && echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null; then
    cold=0
    echo "cannot drop the page cache (it needs root): every run after the first is warm," \
        "and no target is held" >&2
fi

ours() { "$tool" -C "$folder" "$list"; }
off() { "$tool" --read-ahead=off -C "$folder" "$list"; }
md5() { (cd "$folder" && md5sum -c --quiet "$list"); }
readers() { (cd "$folder" && xargs -0 -P16 -n100 cat <"$work/names" >/dev/null 2>&1); }

# What each finds wrong: ours prints "N OK, N failed, N unreadable"; md5sum warns with the counts.
ourCounts="$(ours 2>/dev/null | tail -1 | awk '{ print $3, $5 }' || true)"
theirCounts="$(md5 2>&1 >/dev/null | awk '
    /computed checksums? did NOT match/ { f = $3 }
    /listed files? could not be read/ { u = $3 }
    END { print f + 0, u + 0 }' || true)"
echo "failed, unreadable: ours $ourCounts, md5sum -c $theirCounts"
if [ "$ourCounts" != "$theirCounts" ]; then
    echo "ours and md5sum -c disagree on the list" >&2
    exit 1
fi

# run NAME COMMAND: one cold run; its elapsed seconds go to the results as "NAME SECONDS".
results="$work/results"
run() {
    local name="$1" start end
    shift
    drop
    start="$EPOCHREALTIME"
    "$@" >/dev/null 2>&1 || true # failed and unreadable files give a status of 1
    end="$EPOCHREALTIME"
    awk -v n="$name" -v s="$start" -v e="$end" 'BEGIN { printf "%s %.3f\n", n, e - s }' |
        tee -a "$results"
}

commands=(ours md5 readers off)
for ((round = 0; round < runs; round++)); do
    for ((k = 0; k < ${#commands[@]}; k++)); do
        name="${commands[(k + round) % ${#commands[@]}]}"
        printf 'round %d: ' "$((round + 1))"
        run "$name" "$name"
    done
done

median() {
    # shellcheck disable=SC2046 # one number a run
    bench_median $(awk -v n="$1" '$1 == n { print $2 }' "$results")
}
ourMedian="$(median ours)"
md5Median="$(median md5)"
readersMedian="$(median readers)"
offMedian="$(median off)"
toMd5="$(bench_ratio "$ourMedian" "$md5Median")"
toReaders="$(bench_ratio "$ourMedian" "$readersMedian")"
echo "checking $(wc -l <"$list") listed files in $folder, median of $runs rounds$([ "$cold" = 1 ] && echo ", cold" || echo ", warm"):"
echo "  verify_list_tool                 $ourMedian s"
echo "  verify_list_tool, no read-ahead  $offMedian s"
echo "  md5sum -c --quiet                $md5Median s"
echo "  xargs -0 -P16 -n100 cat          $readersMedian s"
echo "  ratio ours/md5sum $toMd5 (target <= 0.5), ours/parallel readers $toReaders (target <= 1.3)"

# One large file: read ahead, it must not be slower than md5sum's plain reading.
bench_data_folder
large="$dir/cold_large.bin"
bench_random_file "$large" $((2 << 30))
(cd "$dir" && md5sum cold_large.bin >"$work/large.md5")
: >"$results"
for ((round = 0; round < runs; round++)); do
    run ours "$tool" -C "$dir" "$work/large.md5" >/dev/null
    run md5 bash -c "cd '$dir' && md5sum -c --quiet '$work/large.md5'" >/dev/null
done
largeOurs="$(median ours)"
largeMd5="$(median md5)"
largeRatio="$(bench_ratio "$largeOurs" "$largeMd5")"
echo "one 2 GiB file, median of $runs runs: verify_list_tool $largeOurs s, md5sum -c $largeMd5 s," \
    "ratio $largeRatio (target <= 1.0)"

if [ "$cold" = 1 ]; then
    bench_at_most "$toMd5" 0.5 && bench_at_most "$toReaders" 1.3 && bench_at_most "$largeRatio" 1.0
fi
