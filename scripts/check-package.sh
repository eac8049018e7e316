#!/usr/bin/env bash
# Checks the Debian package of a build folder as a user would meet it: unpacked into a throw-away
# folder (as apt would lay it out under /), its programs run from there with a fresh home, fill
# ~/.local/share/corvane/device on first use and unlock the device with the tweak loaded. The
# package itself is checked by lintian when it is installed (CI installs it), and must carry a
# manual page of every program and the example scripts.
# Usage: scripts/check-package.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: scripts/check-package.sh BUILD_FOLDER}" && pwd)

# Whether what the command after PATTERN prints holds PATTERN. The whole output is read before it
# is searched: a search that stopped at the first match would close the pipe under a program still
# writing, and the programs report output they cannot write as a failure.
prints() {
    local pattern=$1 output
    shift
    output=$("$@") && grep -q -- "$pattern" <<<"$output"
}

(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/corvane_*.deb | head -n 1)
echo "package: $(basename "$package") ($(du -h "$package" | cut -f1))"
prints libcairo2 dpkg-deb --field "$package" Depends ||
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
prints 'side by side' corvane --help ||
    { echo "check-package: corvane --help does not say what it opens" >&2; exit 1; }

unlocked() {
    prints '"ev":"unlocked"' corvane-sim --script - \
        <<<$'prefs set cvrUnlockType 0\nboot\ndown 160 250\nmove 341 250\nup\nwait 1000'
}
unlocked || { echo "check-package: corvane-sim did not unlock the device" >&2; exit 1; }
device="$HOME/.local/share/corvane/device"
[ -f "$device/Library/MobileSubstrate/DynamicLibraries/Corvane.so" ] ||
    { echo "check-package: the device was not filled from the package" >&2; exit 1; }
prints '"ev":"rows"' corvane-settings --script - <<<$'open\nrows' ||
    { echo "check-package: corvane-settings did not open the panel" >&2; exit 1; }
prints '"unlockType":0' corvanectl prefs show ||
    { echo "check-package: corvanectl does not see the setting" >&2; exit 1; }
# An example script from the package runs as it stands.
example="$scratch/root/usr/share/doc/corvane/examples/drag.sim"
prints '"ev":"unlocked"' corvane-sim --script "$example" ||
    { echo "check-package: the packaged drag example did not unlock the device" >&2; exit 1; }
echo "package works: corvane-sim unlocked, corvane-settings opened the panel, on $device"
