#!/bin/bash
# Fails, naming the files, when a C or C++ source of the tree differs from what clang-format 14
# (the version .clang-format is written for) makes of it. tools/setup.sh installs it.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-14 || command -v clang-format)
"$formatter" --version | grep -q ' 14\.' || {
    echo "check-format: clang-format 14 is needed, found: $("$formatter" --version)" >&2
    exit 1
}
mapfile -t sources < <(git ls-files '*.c' '*.cpp' '*.h')
if ! "$formatter" --dry-run --Werror "${sources[@]}"; then
    echo "check-format: run clang-format -i on the files above" >&2
    exit 1
fi
echo "check-format: ${#sources[@]} files formatted as .clang-format says"
