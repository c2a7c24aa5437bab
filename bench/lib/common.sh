# shellcheck shell=bash
# What the comparison scripts in bench/ share: their arguments, the tools they time, the folders
# and random files they work on, timing, medians and ratios, and md5sum's own check of a list.
# Sourced by those scripts, never run on its own.

# bench_args USAGE DEFAULT_RUNS MIN_RUNS BUILD_DIR [RUNS]: sets build (absolute) and runs, or
# stops with USAGE when there is no build folder and with status 2 on fewer runs than MIN_RUNS.
bench_args() {
    local usage="$1" defaultRuns="$2" minRuns="$3"
    shift 3
    build="${1:?$usage}"
    runs="${2:-$defaultRuns}"
    case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
    if [ "$runs" -lt "$minRuns" ]; then
        echo "at least $minRuns runs each" >&2
        exit 2
    fi
}

# bench_tools TOOL...: builds each of the bench tools that the build folder lacks.
bench_tools() {
    local tool
    for tool in "$@"; do
        [ -x "$build/bench/$tool" ] || cmake --build "$build" --target "$tool"
    done
}

# bench_work_folder: sets work, a new temporary folder that goes when the script exits.
bench_work_folder() {
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
}

# bench_data_folder: sets dir, the folder where large inputs are kept for later runs
# (DIGESTOR_BENCH_DIR, or digestor-bench in the temporary folder), and makes it.
bench_data_folder() {
    dir="${DIGESTOR_BENCH_DIR:-${TMPDIR:-/tmp}/digestor-bench}"
    mkdir -p "$dir"
}

# bench_random_file PATH BYTES: a file of BYTES random bytes at PATH, made only when there is no
# file of that size there yet.
bench_random_file() {
    if [ ! -f "$1" ] || [ "$(stat -c %s "$1")" -ne "$2" ]; then
        head -c "$2" /dev/urandom >"$1.part"
        mv "$1.part" "$1"
    fi
}

# bench_small_files FOLDER COUNT MIN MAX NAME_FORMAT: COUNT files of MIN to MAX random bytes in
# FOLDER, named by the printf format NAME_FORMAT from their number (0 up).
bench_small_files() {
    perl -e 'my ($folder, $count, $min, $max, $format) = @ARGV;
             open(my $r, "<", "/dev/urandom") or die;
             for my $i (0 .. $count - 1) {
                 read($r, my $bytes, $min + int(rand($max - $min + 1)));
                 open(my $f, ">", sprintf("%s/$format", $folder, $i)) or die;
                 binmode $f; print $f $bytes; close $f;
             }' "$@"
}

# bench_elapsed COMMAND...: prints the seconds one run of the command took (its output is
# dropped); a failed run ends the script.
bench_elapsed() {
    local start="$EPOCHREALTIME"
    "$@" >/dev/null || { echo "failed: $*" >&2; exit 1; }
    local end="$EPOCHREALTIME"
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f\n", e - s }'
}

# bench_measure COMMAND...: prints "elapsed cpu" in seconds for one run of the command (cpu: user
# plus system, the steadier figure on a busy machine); its output is dropped.
bench_measure() {
    local TIMEFORMAT='%3R %3U %3S' out
    out="$({ time "$@" >/dev/null 2>&1; } 2>&1)"
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' <<<"$out"
}

# bench_interleaved: runs the functions ours and theirs one after the other, runs times, and
# sets ourMedian and theirMedian (elapsed seconds) and ratio (ours / theirs).
bench_interleaved() {
    local ourTimes=() theirTimes=() i
    for ((i = 0; i < runs; i++)); do
        ourTimes+=("$(bench_elapsed ours)")
        theirTimes+=("$(bench_elapsed theirs)")
    done
    ourMedian="$(bench_median "${ourTimes[@]}")"
    theirMedian="$(bench_median "${theirTimes[@]}")"
    ratio="$(bench_ratio "$ourMedian" "$theirMedian")"
}

# bench_median VALUE...: prints the median of the values.
bench_median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# bench_ratio A B: prints A / B to three places.
bench_ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'
}

# bench_at_most A B, bench_at_least A B: succeed when the number A is at most (at least) B.
bench_at_most() {
    awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'
}
bench_at_least() {
    awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'
}

# bench_md5sum_check LIST: md5sum's own quiet check of LIST, in the list's folder; it fails
# unless every file the list names is there and intact. Timed, so it starts no other program.
bench_md5sum_check() {
    local folder=. name="$1"
    case "$1" in */*) folder="${1%/*}/" name="${1##*/}" ;; esac
    (cd "$folder" && md5sum -c --quiet "$name" >/dev/null)
}
