#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
if [ $# -gt 0 ]; then
    echo "test.sh: takes no arguments: it builds everything and runs every test" >&2
    exit 2
fi
bash scripts/install-deps.sh
# A compiler cache, where the machine has one, makes the second build of the same tree quick.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Paths inside the checkout are hashed as relative ones, so that another clone hits the cache too.
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
