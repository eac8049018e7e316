#!/usr/bin/env bash
# The main job: builds Corvane and runs corvanectl on the device root's settings.
# With no arguments it shows the settings; any arguments go to corvanectl
# (./run.sh prefs set cvrUnlockType 3, ./run.sh --help).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target corvanectl Corvane
if [ $# -eq 0 ]; then set -- prefs show; fi
exec build/bin/corvanectl "$@"
