#!/usr/bin/env bash
# The main job: a simulated device with Corvane on its lock screen. Builds what it needs first,
# installing missing Debian packages when run as root.
set -euo pipefail
cd "$(dirname "$0")"

usage() {
    cat <<'EOF'
Usage: ./run.sh [--device NAME] [--passcode]
       ./run.sh record [FOLDER]
       ./run.sh ctl COMMAND...

With a display, opens the device's lock screen and the Settings panel side by side on one
device: pick a gesture in the panel, then lock (L), wake (H) and unlock with it. Press ? in
either window for its keys. Restarting SpringBoard from the panel brings a fresh lock screen.
  --device NAME   iphone (320x480, the default), iphone-375, iphone-430 or ipad
  --passcode      the device has a passcode (any four digits are accepted)

Without a display (or with "record"), plays the example scripts of every gesture and writes
an animated picture of each and a contact sheet into FOLDER (default: demos).

"ctl" runs corvanectl on the device's settings: ./run.sh ctl prefs show,
./run.sh ctl prefs set cvrUnlockType 3, ./run.sh ctl --help.
EOF
}

build() {
    bash scripts/install-deps.sh
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j2 --target corvanectl corvane-sim corvane-settings corvane_command
}

# The windows' options, checked before anything is built: a word that is not one of them is a
# mistake with a display or without one.
check_window_options() {
    while [ $# -gt 0 ]; do
        case "$1" in
            --device)
                [ $# -ge 2 ] || { echo "run.sh: --device needs a name (see ./run.sh --help)" >&2; exit 2; }
                shift 2 ;;
            --passcode) shift ;;
            *) echo "run.sh: unknown option $1 (see ./run.sh --help)" >&2; exit 2 ;;
        esac
    done
}

# Both windows on the build tree's device, as the installed "corvane" command opens them.
windows() {
    build
    exec build/bin/corvane "$@"
}

case "${1:-}" in
    -h|--help|help) usage ;;
    ctl) shift; build; exec build/bin/corvanectl "$@" ;;
    record) shift; build; exec bash scripts/record-demos.sh "${1:-demos}" ;;
    *)
        check_window_options "$@"
        if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
            windows "$@"
        elif [ $# -gt 0 ]; then
            echo "run.sh: $1 is for the windows, which need a display (see ./run.sh --help)" >&2
            exit 2
        else
            echo "No display: recording the demos instead (./run.sh --help says more)."
            build
            exec bash scripts/record-demos.sh demos
        fi
        ;;
esac
