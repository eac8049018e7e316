#!/usr/bin/env bash
# Records every script of examples/ as an animated WebP picture and writes one contact sheet of
# their key frames, a labelled row a script. Needs no display: the scripts run on the simulated
# device's virtual clock.
#
#   scripts/record-demos.sh OUTDIR
#
# The programs come from the build folder build/ (CORVANE_BUILD_DIR names another); what is
# missing or stale there is built first. Each script runs on a fresh device root, so a settings
# file of the build's device is left alone.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: scripts/record-demos.sh OUTDIR}"
build="${CORVANE_BUILD_DIR:-$here/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    bash "$here/scripts/install-deps.sh"
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# The tweak is built along with corvane-sim; the badge and dial artwork is a target of its own.
if ! log="$(cmake --build "$build" -j2 --target corvane-sim corvane-sheet corvane_artwork 2>&1)"; then
    echo "$log" >&2
    exit 1
fi

mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

recordings=()
failed=0
for example in "$here"/examples/*.sim; do
    name="$(basename "$example" .sim)"
    root="$scratch/$name"
    mkdir -p "$root"
    cp -R "$build/device/Library" "$root/"
    started=$(date +%s%N)
    status=0
    "$build/bin/corvane-sim" --root "$root" --script "$example" \
        --record-animation "$out/$name.webp" >"$scratch/$name.trace" 2>"$scratch/$name.err" || status=$?
    took=$(( ($(date +%s%N) - started) / 1000000 ))
    if [ "$status" -ne 0 ]; then
        echo "$name.sim: corvane-sim failed (exit status $status):" >&2
        cat "$scratch/$name.err" "$scratch/$name.trace" | grep -v '"ev":"log"' | tail -n 5 >&2
        failed=1
        continue
    fi
    ending="unlocked"
    grep -q '"ev":"unlocked"' "$scratch/$name.trace" || { ending="NOT unlocked"; failed=1; }
    size=$(( ($(stat -c %s "$out/$name.webp") + 1023) / 1024 ))
    printf '%-14s %5d KiB  %s  (%d ms)\n' "$name.sim" "$size" "$ending" "$took"
    recordings+=("$out/$name.webp")
done

if [ ${#recordings[@]} -gt 0 ]; then
    "$build/bin/corvane-sheet" -o "$out/contact-sheet.png" "${recordings[@]}"
fi
echo "Recordings: $out/*.webp (animated WebP, 30 frames a second)"
echo "Contact sheet: $out/contact-sheet.png"
exit "$failed"
