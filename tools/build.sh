#!/bin/bash
# Configures and builds the three build trees of CMakePresets.json under build/: host, win64 and
# win32 (the 32-bit tree packs the 64-bit tree's launcher, so it comes last).
# Usage: tools/build.sh [target...]   (default: everything; named targets are Windows ones)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
targets=("$@")

# ccache, when the machine has it, makes rebuilds in fresh clones and work trees cheap; paths
# under the source root are hashed relative to it so clones share hits.
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root" CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

# CMake keeps the compilers a tree was first configured with, so a tree made before a preset or
# toolchain file changed (say, to another thread model) would go on building with the old ones:
# such a tree is configured afresh.
configure() {
    local tree="$1"
    local stamp="build/$tree/configured-with.txt"
    local wanted
    wanted=$(cat CMakePresets.json cmake/toolchain-*.cmake)
    if [ -f "build/$tree/build.ninja" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
        rm -rf "build/$tree/CMakeCache.txt" "build/$tree/CMakeFiles"
    fi
    if [ ! -f "build/$tree/CMakeCache.txt" ] || [ ! -f "build/$tree/build.ninja" ]; then
        cmake --preset "$tree" >/dev/null
        printf '%s\n' "$wanted" > "$stamp"
    fi
}

for tree in host win64 win32; do
    if [ ${#targets[@]} -gt 0 ] && [ "$tree" = host ]; then continue; fi
    configure "$tree"
    echo "== building $tree" >&2
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build --preset "$tree" --target "${targets[@]}"
    else
        cmake --build --preset "$tree"
    fi
done
