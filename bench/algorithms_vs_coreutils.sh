#!/usr/bin/env bash
# Times the other algorithms against their coreutils tools and peers, interleaved run by run
# after one warm-up each (which also fills the page cache):
#   a 1 GiB file hashed as "Generate Checksums" does (digest_files_tool -a NAME) against
#   sha256sum, sha1sum, sha512sum, b2sum, b3sum (one thread, and its default threads), xxhsum,
#   rhash --crc32, rhash --sha3-256 and openssl dgst -sha3-256; targets, as throughput
#   ours / theirs: SHA-256 >= 3, SHA-1 >= 2, SHA-512 >= 1.3, BLAKE2b >= 0.95 (both are portable
#   code: parity), the others >= 1, but SHA3-256 against openssl (the same libcrypto) >= 0.95
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
for peer in b3sum xxhsum rhash openssl; do
    command -v "$peer" >/dev/null || { echo "needs $peer (scripts/deps.sh installs it)" >&2; exit 2; }
done

bench_data_folder
mkdir -p "$dir/large"
gib="$dir/one-gib.bin"
bench_random_file "$gib" $((1 << 30))
for ((i = 0; i < 48; i++)); do
    bench_random_file "$(printf '%s/large/file_%02d.dat' "$dir" "$i")" $((32 << 20))
done
(cd "$dir/large" && sha256sum -- file_*.dat >SHA256SUMS)

status=0

# The first run of 8 or more hex digits in a tool's line: each writes its own form.
digest_in() { grep -oiE '[0-9a-f]{8,}' | head -n 1 | tr 'A-F' 'a-f'; }

# 1. One file: "name target tool..." per algorithm.
while read -r name target tool; do
    ours="$("$build/bench/digest_files_tool" -a "$name" "$gib" | digest_in)"
    # shellcheck disable=SC2086 # the tool's options are words of their own
    theirs="$($tool "$gib" | digest_in)"
    if [ "$ours" != "$theirs" ]; then
        echo "$name: digests differ ($ours, $tool $theirs)" >&2
        exit 1
    fi
    ourTimes=()
    theirTimes=()
    for ((i = 0; i < runs; i++)); do
        ourTimes+=("$(bench_elapsed "$build/bench/digest_files_tool" -a "$name" "$gib")")
        # shellcheck disable=SC2086
        theirTimes+=("$(bench_elapsed $tool "$gib")")
    done
    ourMedian="$(bench_median "${ourTimes[@]}")"
    theirMedian="$(bench_median "${theirTimes[@]}")"
    speed="$(bench_ratio "$theirMedian" "$ourMedian")"
    printf '%-8s 1 GiB: ours %.3f s   %-24s %.3f s   throughput ours/theirs %s (target >= %s)\n' \
        "$name" "$ourMedian" "$tool" "$theirMedian" "$speed" "$target"
    bench_at_least "$speed" "$target" || status=1
done <<'TABLE'
sha256 3 sha256sum
sha1 2 sha1sum
sha512 1.3 sha512sum
blake2b 0.95 b2sum
blake3 1 b3sum --num-threads 1
blake3 1 b3sum
xxh64 1 xxhsum -H1
xxh3 1 xxhsum -H3
xxh128 1 xxhsum -H2
crc32b 1 rhash --simple --crc32
sha3-256 1 rhash --simple --sha3-256
sha3-256 0.95 openssl dgst -r -sha3-256
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
