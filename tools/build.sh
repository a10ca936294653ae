#!/bin/bash
# Configures and builds the three build trees under build/: host, win32 and win64.
# Usage: tools/build.sh [target...]   (default: everything)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
targets=("$@")

configure() {
    local tree="$1"; shift
    if [ ! -f "$build/$tree/build.ninja" ]; then
        cmake -S "$root" -B "$build/$tree" -G Ninja "$@" >/dev/null
    fi
}
configure host -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"
configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    -DPAIR_BUILD_DIR="$build/win64"

for tree in host win64 win32; do
    # Named targets are Windows ones (the launcher, its test tools).
    if [ ${#targets[@]} -gt 0 ] && [ "$tree" = host ]; then continue; fi
    echo "== building $tree" >&2
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$build/$tree" --target "${targets[@]}"
    else
        cmake --build "$build/$tree"
    fi
done
