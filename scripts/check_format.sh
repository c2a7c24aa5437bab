#!/usr/bin/env bash
# Checks that the project's C++ sources are formatted as .clang-format says: runs
# `clang-format --dry-run -Werror` over every tracked *.cpp and *.h outside build folders, which
# names each place that differs. Fails when any file differs; `clang-format -i FILE` fixes one.
# Usage: scripts/check_format.sh   (CLANG_FORMAT names another clang-format to use)
set -euo pipefail
cd "$(dirname "$0")/.."
format="${CLANG_FORMAT:-clang-format}"
command -v "$format" >/dev/null || { echo "needs $format (apt-get install clang-format)" >&2; exit 2; }

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' ':(exclude,glob)build*/**')
if ! printf '%s\0' "${files[@]}" | xargs -0 -r "$format" --dry-run -Werror; then
    echo "some C++ sources are not formatted as .clang-format says (see above)" >&2
    exit 1
fi
echo "${#files[@]} C++ sources formatted as .clang-format says"
