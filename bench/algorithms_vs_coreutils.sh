#!/usr/bin/env bash
# Times the other algorithms against their coreutils tools, interleaved run by run after one
# warm-up each (which also fills the page cache):
#   a 1 GiB file hashed as "Generate Checksums" does (digest_files_tool -a NAME) against
#   sha256sum, sha1sum, sha512sum and b2sum; targets, as throughput ours / theirs:
#   SHA-256 >= 3, SHA-1 >= 2, SHA-512 >= 1.3, BLAKE2b >= 0.95 (both are portable code: parity)
#   a SHA-256 list of 48 files of 32 MiB (verify_list_tool) against `sha256sum -c --quiet`;
#   target: time ratio ours / sha256sum <= 0.35
# The digests of each pair are compared too. Prints the medians and their ratios; fails when a
# target is missed.
# Usage: bench/algorithms_vs_coreutils.sh BUILD_DIR [RUNS]
# The files are kept in ${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench} for later runs.
set -euo pipefail
# shellcheck source=lib/common.sh
. "$(dirname "$0")/lib/common.sh"
bench_args "usage: bench/algorithms_vs_coreutils.sh BUILD_DIR [RUNS]" 5 3 "$@"
bench_tools digest_files_tool verify_list_tool

bench_data_folder
mkdir -p "$dir/large"
gib="$dir/one-gib.bin"
bench_random_file "$gib" $((1 << 30))
for ((i = 0; i < 48; i++)); do
    bench_random_file "$(printf '%s/large/file_%02d.dat' "$dir" "$i")" $((32 << 20))
done
(cd "$dir/large" && sha256sum -- file_*.dat >SHA256SUMS)

status=0

# 1. One file: "name tool target" per algorithm.
while read -r name tool target; do
    ours="$("$build/bench/digest_files_tool" -a "$name" "$gib" | cut -d' ' -f1)"
    theirs="$("$tool" "$gib" | cut -d' ' -f1)"
    if [ "$ours" != "$theirs" ]; then
        echo "$name: digests differ ($ours, $tool $theirs)" >&2
        exit 1
    fi
    ourTimes=()
    theirTimes=()
    for ((i = 0; i < runs; i++)); do
        ourTimes+=("$(bench_elapsed "$build/bench/digest_files_tool" -a "$name" "$gib")")
        theirTimes+=("$(bench_elapsed "$tool" "$gib")")
    done
    ourMedian="$(bench_median "${ourTimes[@]}")"
    theirMedian="$(bench_median "${theirTimes[@]}")"
    speed="$(bench_ratio "$theirMedian" "$ourMedian")"
    printf '%-8s 1 GiB: ours %.3f s   %s %.3f s   throughput ours/theirs %s (target >= %s)\n' \
        "$name" "$ourMedian" "$tool" "$theirMedian" "$speed" "$target"
    bench_at_least "$speed" "$target" || status=1
done <<'TABLE'
sha256 sha256sum 3
sha1 sha1sum 2
sha512 sha512sum 1.3
blake2b b2sum 0.95
TABLE

# 2. A SHA-256 list of 48 files of 32 MiB.
list="$dir/large/SHA256SUMS"
ours() { "$build/bench/verify_list_tool" "$list"; }
theirs() { (cd "$dir/large" && sha256sum -c --quiet SHA256SUMS); }
ours >/dev/null || { echo "verify_list_tool did not verify $list" >&2; exit 1; }
theirs >/dev/null
bench_interleaved
printf 'SHA-256 list of 48 files of 32 MiB: verifyList %.3f s   sha256sum -c %.3f s   ratio %s (target <= 0.35)\n' \
    "$ourMedian" "$theirMedian" "$ratio"
bench_at_most "$ratio" 0.35 || status=1
exit "$status"
