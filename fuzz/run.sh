#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a short while over a copy of its
# seed corpus (corpus/<name>/ for <name>_fuzzer); any crash, leak or failed check fails the run.
# Crash inputs are kept in fuzz/corpus-work/.
# Usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]}"
seconds="${2:-30}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ not found, skipping the fuzz targets"
    exit 0
fi

targets=()
for src in "$root"/fuzz/*_fuzzer.cpp; do
    targets+=("$(basename "$src" .cpp)")
done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DDIGESTOR_FUZZ=ON -DDIGESTOR_WERROR=ON \
      -DDIGESTOR_TESTS=OFF -DDIGESTOR_BENCH=OFF -DDIGESTOR_QT=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

# The targets run in a scratch folder holding the small files that the seed lists name.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf 'hello\n' >"$work/a.txt"
printf '\000\001\r\n\377' >"$work/b.bin"
printf 'one\r\ntwo\r\n' >"$work/crlf.txt"
mkdir "$work/folder"
# For side_by_side: lengths around the block and padding boundaries, and one of a few MiB, all
# with CR LF pairs and lone CRs so that text mode differs from binary mode.
: >"$work/e"
for n in 1 55 56 63 64 65; do
    perl -e 'print substr("ab\r\ncd\r" x 20, 0, $ARGV[0])' "$n" >"$work/$n"
done
perl -e 'print "line\r\n\r" x (3 << 17), "\r"' >"$work/big"
mkdir -p "$root/fuzz/corpus-work"

failed=()
for target in "${targets[@]}"; do
    name="${target%_fuzzer}"
    mkdir "$work/corpus-$name"
    if [ -d "$root/fuzz/corpus/$name" ]; then
        cp "$root/fuzz/corpus/$name"/* "$work/corpus-$name/"
    fi
    echo "fuzz: running $target for ${seconds}s"
    if ! (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
              -rss_limit_mb=2048 -print_final_stats=1 \
              -artifact_prefix="$root/fuzz/corpus-work/$name-" "corpus-$name"); then
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: FAILED: ${failed[*]} (inputs in fuzz/corpus-work/)" >&2
    exit 1
fi
echo "fuzz: all targets ran clean"
