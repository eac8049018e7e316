#!/usr/bin/env bash
# Builds the benchmarks in Release, runs every one of them (the best of five repetitions) and
# rewrites docs/performance.md and docs/pictures/frame-times.svg from the results. Run it on a
# quiet machine: the figures are only as steady as the machine is idle.
# Usage: scripts/performance.sh [BUILD_FOLDER]   (default build, the Release build of ./test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j2 >/dev/null

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
for bench in "$build"/bench/*_bench; do
    name=$(basename "$bench")
    echo "running $name"
    "$bench" --benchmark_repetitions=5 --benchmark_display_aggregates_only=true \
        --benchmark_out="$results/$name.json" --benchmark_out_format=json >/dev/null
done

model=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
machine="$model, $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB, $(date -u +%Y-%m-%d)"
mkdir -p docs/pictures
python3 scripts/performance_report.py docs/performance.md docs/pictures/frame-times.svg \
    "$machine" "$results"/*.json
echo "wrote docs/performance.md and docs/pictures/frame-times.svg"
