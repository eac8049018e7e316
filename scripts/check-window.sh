#!/usr/bin/env bash
# Checks the two windows as a person would use them, on a virtual display: SpringBoard and the
# Settings panel open side by side, a mouse drag unlocks the lock screen, and after choosing the
# pinch an Alt-drag unlocks it again; then a SpringBoard that saves what is done as a script is
# pinched open with the right button, and the saved script replays to the same events. Needs
# Xvfb, xdotool and ImageMagick's import.
# Usage: scripts/check-window.sh BUILD_FOLDER [SCREENSHOT_FOLDER]
set -euo pipefail
build=$(cd "${1:?usage: scripts/check-window.sh BUILD_FOLDER [SCREENSHOT_FOLDER]}" && pwd)
shots=${2:-$(mktemp -d)}
mkdir -p "$shots"
scratch=$(mktemp -d)
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    [ -n "${KEEP:-}" ] || rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "check-window: $*" >&2
    import -window root "$shots/failed.png" 2>/dev/null || true
    exit 1
}

# A display of its own.
source "$(dirname "$0")/virtual-display.sh"
start_virtual_display "$scratch" 1280x1024

cp -r "$build/device" "$scratch/root"
rm -rf "$scratch/root/User" "$scratch/root/var"  # a fresh device: default settings
trace="$scratch/springboard.jsonl"
"$build/bin/corvane-sim" --root "$scratch/root" --trace "$trace" --place left &
pids+=($!)
"$build/bin/corvane-settings" --root "$scratch/root" --place right &
pids+=($!)
springboard=$(timeout 20 xdotool search --sync --onlyvisible --name "^Corvane: iphone" | head -n 1)
timeout 20 xdotool search --sync --onlyvisible --name "^Corvane settings" >/dev/null
sleep 1
import -window root "$shots/both-windows.png"

# The window's top-left corner on the display, the screen's points at one pixel each.
settled_corner "$springboard"
unlocks() { grep -c '"ev":"unlocked"' "$trace" || true; }
# Waits up to five seconds for the trace to hold `count` unlocks.
unlocked() {
    for _ in $(seq 50); do [ "$(unlocks)" -ge "$1" ] && return 0; sleep 0.1; done
    return 1
}
drag() {  # drag X1 Y1 X2 Y2 [modifier [button]]: a finger from one screen point to another
    local x1=$1 y1=$2 x2=$3 y2=$4 key=${5:-} button=${6:-1}
    xdotool mousemove $((x0 + x1)) $((y0 + y1))
    if [ -n "$key" ]; then xdotool keydown "$key"; fi
    xdotool mousedown "$button"
    for step in $(seq 1 12); do
        xdotool mousemove $((x0 + x1 + (x2 - x1) * step / 12)) $((y0 + y1 + (y2 - y1) * step / 12))
        sleep 0.03
    done
    xdotool mouseup "$button"
    if [ -n "$key" ]; then xdotool keyup "$key"; fi
}

# A tap restarts the lock screen's dim timer: once the trace shows it, the window takes touches.
timers() { grep -c '"ev":"dim-timer"' "$trace" || true; }

# Locks the SpringBoard window WINDOW with L and wakes it with H. Keys go to the focused window;
# the display has no window manager to focus one on a click.
lock_and_wake() {
    xdotool windowfocus "$1"
    sleep 0.2
    xdotool key l
    sleep 0.3
    xdotool key h
    sleep 0.5
}

for _ in $(seq 10); do
    seen=$(timers)
    xdotool mousemove $((x0 + 160)) $((y0 + 240)) click 1
    for _ in $(seq 10); do [ "$(timers)" -gt "$seen" ] && break 2; sleep 0.1; done
done
[ "$(timers)" -gt "$seen" ] || fail "the window takes no touches"

drag 60 250 300 250
unlocked 1 || fail "a mouse drag did not unlock the lock screen"
import -window root "$shots/after-drag.png"

"$build/bin/corvanectl" --root "$scratch/root" prefs set cvrUnlockType 2
lock_and_wake "$springboard"
drag 260 240 170 240 alt  # the mirrored second finger comes in from the left: a pinch
unlocked 2 || fail "an Alt-drag did not pinch the lock screen open"
import -window root "$shots/after-pinch.png"

# A SpringBoard that writes down what is done: a tap, a right-button pinch, the lock and wake
# keys, another pinch; Q closes it. The saved script, replayed on the same settings, must give
# the same events in the same order (their times aside: the window's timers run on a real clock).
for pid in "${pids[1]}" "${pids[2]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done
saved="$scratch/saved.sim"
trace="$scratch/saving.jsonl"
"$build/bin/corvane-sim" --root "$scratch/root" --trace "$trace" --save-script "$saved" --place left &
saving=$!
pids+=($saving)
springboard=$(timeout 20 xdotool search --sync --onlyvisible --name "^Corvane: iphone" | head -n 1)
settled_corner "$springboard"
for _ in $(seq 10); do
    seen=$(timers)
    xdotool mousemove $((x0 + 160)) $((y0 + 240)) click 1
    for _ in $(seq 10); do [ "$(timers)" -gt "$seen" ] && break 2; sleep 0.1; done
done
drag 260 240 170 240 "" 3  # the right button holds two fingers
unlocked 1 || fail "a right-button drag did not pinch the lock screen open"
lock_and_wake "$springboard"
drag 250 240 180 240 "" 3
unlocked 2 || fail "a second right-button pinch did not unlock"
sleep 0.5
xdotool windowfocus "$springboard" key q
for _ in $(seq 50); do kill -0 "$saving" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$saving" 2>/dev/null || fail "Q did not close the window"
replayed="$scratch/replayed.jsonl"
cp -r "$scratch/root" "$scratch/replay-root"
"$build/bin/corvane-sim" --root "$scratch/replay-root" --script "$saved" > "$replayed" ||
    fail "the saved script did not replay: $(tail -n 1 "$replayed")"
without_times() { python3 -c '
import json, sys
for line in open(sys.argv[1]):
    event = json.loads(line)
    event.pop("t", None)
    print(json.dumps(event, sort_keys=True))' "$1"; }
if ! diff <(without_times "$trace") <(without_times "$replayed") > "$scratch/replay.diff"; then
    head -n 20 "$scratch/replay.diff" >&2
    fail "the saved script replays to other events than the window's"
fi
# ./run.sh as a person starts it: Q in the panel closes both windows, nothing is left running,
# and nothing is said on standard error.
repo=$(cd "$(dirname "$0")/.." && pwd)
(cd "$repo" && exec ./run.sh >/dev/null 2>"$scratch/run.err") &
runsh=$!
pids+=($runsh)
panel=$(timeout 60 xdotool search --sync --onlyvisible --name "^Corvane settings" | head -n 1)
timeout 20 xdotool search --sync --onlyvisible --name "^Corvane: iphone" >/dev/null
sleep 0.5
xdotool windowfocus "$panel" key q
for _ in $(seq 100); do kill -0 "$runsh" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$runsh" 2>/dev/null || fail "Q in the panel did not end ./run.sh"
wait "$runsh" || fail "./run.sh ended with status $? after Q"
sleep 0.5
! xdotool search --onlyvisible --name "^Corvane" >/dev/null 2>&1 || fail "a window outlived ./run.sh"
[ ! -s "$scratch/run.err" ] || fail "./run.sh said on standard error: $(head -c 300 "$scratch/run.err")"

echo "windows work: both open, a drag, an Alt-drag and two right-button pinches each unlocked;"
echo "  the saved script replays to the same $(wc -l < "$trace") events; Q in one window of"
echo "  ./run.sh closes both (pictures in $shots)"
