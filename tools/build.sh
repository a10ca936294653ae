#!/bin/bash
# Configures and builds the three build trees under build/: host, win32 and win64.
# Usage: tools/build.sh [target...]   (default: everything)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
targets=("$@")

# ccache, when the machine has it, makes rebuilds in fresh clones and work trees cheap; paths
# under the source root are hashed relative to it so clones share hits.
launcher_flags=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root"
    launcher_flags=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# CMake keeps the compilers a tree was first configured with, so a tree made before a toolchain
# file changed (say, to another thread model) would go on building with the old ones: such a
# tree is configured afresh.
configure() {
    local tree="$1"; shift
    local stamp="$build/$tree/configured-with.txt"
    local wanted
    wanted=$(printf '%s\n' "$@"; cat "$root"/cmake/toolchain-*.cmake)
    if [ -f "$build/$tree/build.ninja" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
        rm -rf "$build/$tree/CMakeCache.txt" "$build/$tree/CMakeFiles"
    fi
    if [ ! -f "$build/$tree/CMakeCache.txt" ] || [ ! -f "$build/$tree/build.ninja" ]; then
        cmake -S "$root" -B "$build/$tree" -G Ninja "${launcher_flags[@]}" "$@" >/dev/null
        printf '%s\n' "$wanted" > "$stamp"
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
