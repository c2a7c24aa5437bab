#!/usr/bin/env bash
# Runs every benchmark and comparison script in bench/ against one build, one after the other,
# and fails at the end if any of them failed.
# Usage: bench/run_all.sh BUILD_DIR
set -uo pipefail

build="${1:?usage: bench/run_all.sh BUILD_DIR}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
bench="$(cd "$(dirname "$0")" && pwd)"

status=0
run() {
    echo "== $*"
    "$@" || status=1
    echo
}

run cmake --build "$build" --target md5_bench
run "$build/bench/md5_bench"
run "$bench/digest_stream_vs_md5sum.sh" "$build"
run "$bench/verify_list_vs_md5sum.sh" "$build"
run "$bench/side_by_side_vs_md5sum.sh" "$build"
run "$bench/algorithms_vs_coreutils.sh" "$build"
run "$bench/cold_disk_vs_md5sum.sh" "$build"
if [ -f "$build/bench/window_drop_qt" ] || grep -q window_drop_qt "$build/build.ninja" 2>/dev/null; then
    run "$bench/window_drop_vs_md5sum.sh" "$build"
    run "$bench/window_long_drop_vs_md5sum.sh" "$build"
    run "$bench/window_folder_vs_md5sum.sh" "$build"
    run "$bench/every_core_vs_peers.sh" "$build"
fi

exit "$status"
