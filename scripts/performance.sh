#!/usr/bin/env bash
# Builds the benchmarks in Release, runs every one of them (the best of five repetitions; the
# frames in three passes minutes apart), the frame benchmarks once more built with the portable
# pixel loops (in three passes beside those), and, where a virtual display can be had, the
# window's wait from a touch to the screen; then rewrites docs/performance.md and
# docs/pictures/frame-times.svg from the results.
# Run it on a quiet machine: the figures are only as steady as the machine is idle.
# Usage: scripts/performance.sh [BUILD_FOLDER]   (default build, the Release build of ./test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
portable="$build-portable-bench"

bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
export CCACHE_BASEDIR="$PWD"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 >/dev/null
cmake -S . -B "$portable" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON -DCORVANE_SIMD=OFF \
    -DCORVANE_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$portable" -j2 --target compositor_bench page_curl_bench >/dev/null

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
for bench in "$build"/bench/*_bench; do
    name=$(basename "$bench")
    echo "running $name"
    "$bench" --benchmark_repetitions=5 --benchmark_display_aggregates_only=true \
        --benchmark_out="$results/$name.json" --benchmark_out_format=json >/dev/null
done
# frames BUILD FOLDER FILTER REPETITIONS: the frame benchmarks of BUILD into $results/FOLDER.
frames() {
    mkdir -p "$results/$2"
    for name in compositor_bench page_curl_bench; do
        echo "running the frames of $1/bench/$name ($2)"
        "$1/bench/$name" --benchmark_filter="$3" --benchmark_repetitions="$4" \
            --benchmark_display_aggregates_only=true \
            --benchmark_out="$results/$2/$name.json" --benchmark_out_format=json >/dev/null
    done
}
frames "$portable" portable 'Frame/' 3
# The frames twice more, minutes apart, for a pass that no neighbour of the machine slowed; the
# portable build's beside each.
frames "$build" pass2 Frame 5
frames "$portable" portable2 'Frame/' 3
latency=()
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    echo "measuring the wait of a touch in the window"
    # Beside the benchmarks' results, not among them.
    mkdir -p "$results/window"
    bash scripts/window-latency.sh "$build" iphone-430 10 >"$results/window/latency.json"
    latency=(--latency "$results/window/latency.json")
fi

frames "$build" pass3 Frame 5
frames "$portable" portable3 'Frame/' 3

model=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
# A virtual machine's model name may say little: the vector extensions the kernels can use are
# named beside it.
extensions=()
for flag in sse2:SSE2 avx2:AVX2 avx512f:AVX-512; do
    grep -qw "${flag%%:*}" /proc/cpuinfo 2>/dev/null && extensions+=("${flag#*:}")
done
[ ${#extensions[@]} -gt 0 ] && model="$model with $(IFS=/; echo "${extensions[*]}")"
machine="$model, $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB, $(date -u +%Y-%m-%d)"
mkdir -p docs/pictures
python3 scripts/performance_report.py docs/performance.md docs/pictures/frame-times.svg \
    "$machine" "$results"/*.json "$results"/pass*/*.json "${latency[@]}" \
    --portable "$results"/portable*/*.json
echo "wrote docs/performance.md and docs/pictures/frame-times.svg"
