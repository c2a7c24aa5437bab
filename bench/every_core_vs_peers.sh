#!/usr/bin/env bash
# One table of how the work of many files and of large ones compares with the coreutils tools,
# on every core and on one (taskset -c 0), ours and the peer run interleaved after a warm-up:
#   - a list of 10,000 small files (verify_list_tool, md5sum -c);
#   - a list of 100,000 small files dropped on the window (window_drop_qt, md5sum -c), with the
#     window's longest time without serving its events;
#   - a list of 48 files of 32 MiB, as MD5 (md5sum -c) and as SHA-256 (sha256sum -c).
# The page cache is warm; bench/cold_disk_vs_md5sum.sh measures an empty one. Prints the median
# seconds and the ratio ours / peer of each row.
# Usage: bench/every_core_vs_peers.sh BUILD_DIR [RUNS]
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/every_core_vs_peers.sh BUILD_DIR [RUNS]" 5 3 "$@"
bench_tools verify_list_tool window_drop_qt
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

bench_work_folder
mkdir "$work/small" "$work/many" "$work/large"
bench_small_files "$work/small" 10000 1 4096 'file_%05d.dat'
(cd "$work/small" && md5sum -- file_*.dat >list.md5)
bench_small_files "$work/many" 100000 1 2048 'file_%06d.dat'
(cd "$work/many" && find . -name 'file_*.dat' -printf '%f\0' | sort -z | xargs -0 md5sum -- >list.md5)
for i in $(seq -w 1 48); do
    bench_random_file "$work/large/part_$i.bin" $((32 << 20))
done
(cd "$work/large" && md5sum -- part_*.bin >list.md5 && sha256sum -- part_*.bin >list.sha256)

# row TITLE LIST PEER [TASKSET...]: ours and the peer's check of LIST, interleaved.
row() {
    local title="$1" list="$2" peer="$3"
    shift 3
    ours() { "$@" "$build/bench/verify_list_tool" "$list"; }
    theirs() { (cd "${list%/*}" && "$@" "$peer" -c --quiet "${list##*/}"); }
    ours "$@" >/dev/null && theirs "$@" >/dev/null
    local ourTimes=() theirTimes=() i
    for ((i = 0; i < runs; i++)); do
        ourTimes+=("$(bench_elapsed ours "$@")")
        theirTimes+=("$(bench_elapsed theirs "$@")")
    done
    ourMedian="$(bench_median "${ourTimes[@]}")"
    theirMedian="$(bench_median "${theirTimes[@]}")"
    printf '%-44s %8.3f %8.3f %7s\n' "$title" "$ourMedian" "$theirMedian" \
        "$(bench_ratio "$ourMedian" "$theirMedian")"
}

# window [TASKSET...]: the window's drop of the 100,000 files, and its longest gap in serving.
window() {
    local title="$1"
    shift
    local ourTimes=() theirTimes=() gaps=() i start out
    for ((i = 0; i <= runs; i++)); do
        start="$EPOCHREALTIME"
        out="$("$@" "$build/bench/window_drop_qt" "$work/many/list.md5" 2>/dev/null)"
        ourTimes+=("$(awk -v s="$start" -v e="$EPOCHREALTIME" 'BEGIN { print e - s }')")
        gaps+=("$(awk '/^longest gap/ { print $3 }' <<<"$out")")
        theirTimes+=("$(bench_elapsed bash -c "cd '$work/many' && $* md5sum -c --quiet list.md5")")
    done
    # The first of each is the warm-up.
    ourMedian="$(bench_median "${ourTimes[@]:1}")"
    theirMedian="$(bench_median "${theirTimes[@]:1}")"
    printf '%-44s %8.3f %8.3f %7s\n' "$title" "$ourMedian" "$theirMedian" \
        "$(bench_ratio "$ourMedian" "$theirMedian")"
    printf '%-44s %8s ms (median of the longest gaps)\n' "  the window's slowest answer" \
        "$(bench_median "${gaps[@]:1}")"
}

printf '%-44s %8s %8s %7s\n' "work (median of $runs runs, seconds)" ours peer ratio
for cores in every one; do
    taskset=()
    [ "$cores" = one ] && taskset=(taskset -c 0)
    echo "-- $cores core(s)"
    row "verifyList, 10,000 small files" "$work/small/list.md5" md5sum "${taskset[@]}"
    window "window drop, 100,000 small files" "${taskset[@]}"
    row "verifyList, 48 x 32 MiB" "$work/large/list.md5" md5sum "${taskset[@]}"
    row "SHA-256 list, 48 x 32 MiB" "$work/large/list.sha256" sha256sum "${taskset[@]}"
done
