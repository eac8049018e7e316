#!/usr/bin/env bash
# Checks the Debian package of a build folder as a user would meet it: unpacked into a throw-away
# folder (as apt would lay it out under /), its programs run from there with a fresh home, fill
# ~/.local/share/corvane/device on first use and unlock the device with the tweak loaded. The
# package itself is checked by lintian when it is installed (CI installs it), and must carry a
# manual page of every program and the example scripts.
# Usage: scripts/check-package.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: scripts/check-package.sh BUILD_FOLDER}" && pwd)

(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/corvane_*.deb | head -n 1)
echo "package: $(basename "$package") ($(du -h "$package" | cut -f1))"
dpkg-deb --field "$package" Depends | grep -q libcairo2 ||
    { echo "check-package: the package does not depend on cairo" >&2; exit 1; }

if command -v lintian >/dev/null; then
    # Errors fail; warnings are shown.
    lintian --fail-on error "$package" ||
        { echo "check-package: lintian found errors in the package" >&2; exit 1; }
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$package" "$scratch/root"
export HOME="$scratch/home" PATH="$scratch/root/usr/bin:$PATH"
mkdir -p "$HOME"

for program in corvane corvane-sim corvane-settings corvanectl corvane-sheet; do
    [ -x "$scratch/root/usr/bin/$program" ] ||
        { echo "check-package: the package has no $program program" >&2; exit 1; }
    [ -f "$scratch/root/usr/share/man/man1/$program.1.gz" ] ||
        { echo "check-package: the package has no manual page of $program" >&2; exit 1; }
done
ls "$scratch/root/usr/share/doc/corvane/examples/"*.sim >/dev/null 2>&1 ||
    { echo "check-package: the package has no example scripts" >&2; exit 1; }
corvane --help | grep -q 'side by side' ||
    { echo "check-package: corvane --help does not say what it opens" >&2; exit 1; }

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
# An example script from the package runs as it stands.
corvane-sim --script "$scratch/root/usr/share/doc/corvane/examples/drag.sim" | grep -q '"ev":"unlocked"' ||
    { echo "check-package: the packaged drag example did not unlock the device" >&2; exit 1; }
echo "package works: corvane-sim unlocked, corvane-settings opened the panel, on $device"
