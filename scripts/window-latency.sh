#!/usr/bin/env bash
# Measures how long a touch waits to be seen in the device window: corvane-sim on a virtual
# display with the largest phone (1290x2796 pixels) and the pinch chosen, two fingers held with
# the right mouse button and moved round and round for a few seconds, while the window logs each
# frame that showed a move (--latency-log). Prints the figures as one line of JSON: how many
# frames, and the middle, 95th percentile and largest wait from a move's event to the present of
# the frame that showed it, with the middle times spent drawing and presenting, all after a first
# pinch whose longest wait is given apart. Needs Xvfb and xdotool.
# Usage: scripts/window-latency.sh BUILD_FOLDER [DEVICE] [SECONDS]
set -euo pipefail
build=$(cd "${1:?usage: scripts/window-latency.sh BUILD_FOLDER [DEVICE] [SECONDS]}" && pwd)
device=${2:-iphone-430}
seconds=${3:-6}
scratch=$(mktemp -d)
pids=()
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "window-latency: $*" >&2; exit 1; }

source "$(dirname "$0")/virtual-display.sh"
start_virtual_display "$scratch" 1920x1200

cp -r "$build/device" "$scratch/root"
rm -rf "$scratch/root/User" "$scratch/root/var"
"$build/bin/corvanectl" --root "$scratch/root" prefs set cvrUnlockType pinch >/dev/null
log="$scratch/latency.jsonl"
"$build/bin/corvane-sim" --root "$scratch/root" --device "$device" --latency-log "$log" \
    --trace "$scratch/trace.jsonl" &
pids+=($!)
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Corvane: $device" | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
# Two fingers mirrored about the window's centre, the mouse going round a circle of a tenth of
# the window's width whose centre lies a fifth of it right of the window's: the fingers' distance
# changes with every move, and the pinch's scale stays between 0.6 and 1, short of the unlock
# (below a half).
cx=$((X + WIDTH / 2 + WIDTH / 5)) cy=$((Y + HEIGHT / 2)) r=$((WIDTH / 20))
# One turn of the mouse round the circle, the right button held.
pinch_round() {
    xdotool mousemove $((cx + r)) "$cy" mousedown 3
    for step in $(seq 0 5 355); do
        read -r dx dy < <(awk -v a="$step" -v r="$r" 'BEGIN { printf "%d %d\n", r * cos(a * 3.14159 / 180), r * sin(a * 3.14159 / 180) }')
        xdotool mousemove $((cx + dx)) $((cy + dy))
    done
    xdotool mouseup 3
    sleep 0.3
}
# The log's length once the window has caught up with the moves made so far.
settled_lines() {
    local lines=-1
    while [ "$lines" != "$(wc -l <"$log")" ]; do
        lines=$(wc -l <"$log")
        sleep 0.2
    done
    echo "$lines"
}
xdotool mousemove "$cx" "$cy" click 1  # wakes the lock screen
# The first pinch is the program's first to take pictures of the whole screen, whose memory the
# system is still handing out (on a virtual machine, the host as well): it is measured apart.
first=$(settled_lines)
pinch_round
skip=$(settled_lines)
end=$((SECONDS + seconds))
while [ $SECONDS -lt $end ]; do pinch_round; done
xdotool key q
wait "${pids[1]}" || fail "corvane-sim ended with an error"
[ -s "$log" ] || fail "no frame showed a move"
# Frames after an unlock would show the home screen, not the pinch.
! grep -q '"ev":"unlocked"' "$scratch/trace.jsonl" || fail "the pinch unlocked the device"
python3 - "$log" "$device" "$first" "$skip" <<'PY'
import json, statistics, sys
lines = open(sys.argv[1]).readlines()
first = [json.loads(line) for line in lines[int(sys.argv[3]):int(sys.argv[4])]]
rows = [json.loads(line) for line in lines[int(sys.argv[4]):]]
if not rows:
    sys.exit("window-latency: no frame showed a move after the first pinch")
waits = sorted(r["input_ms"] for r in rows)
def pct(p): return waits[min(len(waits) - 1, int(p * len(waits)))]
print(json.dumps({
    "device": sys.argv[2], "frames": len(rows),
    "input_ms_median": statistics.median(waits), "input_ms_p95": pct(0.95), "input_ms_max": waits[-1],
    "first_pinch_ms_max": max((r["input_ms"] for r in first), default=None),
    "draw_ms_median": statistics.median(r["draw_ms"] for r in rows),
    "present_ms_median": statistics.median(r["present_ms"] for r in rows),
}))
PY
