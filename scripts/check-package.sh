#!/usr/bin/env bash
# Checks the Debian package of a build folder as a user would meet it: unpacked into a throw-away
# folder (as apt would lay it out under /), its programs run from there with a fresh home, fill
# ~/.local/share/corvane/device on first use and unlock the device with the tweak loaded.
# Usage: scripts/check-package.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: scripts/check-package.sh BUILD_FOLDER}" && pwd)

(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/corvane_*.deb | head -n 1)
echo "package: $(basename "$package") ($(du -h "$package" | cut -f1))"
dpkg-deb --field "$package" Depends | grep -q libcairo2 ||
    { echo "check-package: the package does not depend on cairo" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$package" "$scratch/root"
export HOME="$scratch/home" PATH="$scratch/root/usr/bin:$PATH"
mkdir -p "$HOME"

unlocked() {
    printf 'prefs set cvrUnlockType 0\nboot\ndown 160 250\nmove 341 250\nup\nwait 1000\n' |
        corvane-sim --script - | grep -q '"ev":"unlocked"'
}
unlocked || { echo "check-package: corvane-sim did not unlock the device" >&2; exit 1; }
device="$HOME/.local/share/corvane/device"
[ -f "$device/Library/MobileSubstrate/DynamicLibraries/Corvane.so" ] ||
    { echo "check-package: the device was not filled from the package" >&2; exit 1; }
printf 'open\nrows\n' | corvane-settings --script - | grep -q '"ev":"rows"' ||
    { echo "check-package: corvane-settings did not open the panel" >&2; exit 1; }
corvanectl prefs show | grep -q '"unlockType":0' ||
    { echo "check-package: corvanectl does not see the setting" >&2; exit 1; }
echo "package works: corvane-sim unlocked, corvane-settings opened the panel, on $device"
