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
    cmake --build build -j2 --target corvanectl corvane-sim corvane-settings
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

# The windows' processes, ended with the script however it ends.
window_pids=()
end_windows() {
    for pid in "${window_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${window_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}

# Both windows on the build tree's device; closing either closes both.
windows() {
    local device=iphone passcode=()
    while [ $# -gt 0 ]; do
        case "$1" in
            --device) device="${2:?--device needs a name}"; shift 2 ;;
            --passcode) passcode=(--passcode); shift ;;
            *) echo "run.sh: unknown option $1 (see ./run.sh --help)" >&2; exit 2 ;;
        esac
    done
    build
    # A display that cannot be opened is told once, not by each window.
    build/bin/corvane-sim --check-display || exit 2
    trap end_windows EXIT
    trap 'exit 130' INT TERM
    build/bin/corvane-sim --keep-alive --device "$device" "${passcode[@]}" --place left &
    window_pids+=($!)
    build/bin/corvane-settings --device "$device" --place right &
    window_pids+=($!)
    # The first window to close (Q, or its close button) ends the other, and its status is the
    # script's.
    local status=0
    wait -n "${window_pids[@]}" || status=$?
    end_windows
    exit "$status"
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
