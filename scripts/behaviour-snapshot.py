#!/usr/bin/env python3
"""Records what a user, a script and SpringBoard see of every gesture, so that a change meant to
alter no behaviour can be checked to alter none: the traces (every event, `dump views`,
`dump session`, `dump settings`), the pictures of `snap` and the recordings of the examples, for
each gesture short of and across its limit, with and without a passcode, in each direction, with
settings out of their range, on three screens, and the panel's rows for every unlock type.

Usage: scripts/behaviour-snapshot.py BUILD_FOLDER OUT_FOLDER
Then, after the change: the same into another folder, and `diff -r` the two.
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile

build, out = sys.argv[1], sys.argv[2]
bin_dir = os.path.join(build, "bin")
device = os.path.join(build, "device")
examples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")

SCREENS = {"phone": (320, 480, "iPhone", 1), "tall": (375, 667, "iPhone", 2), "pad": (768, 1024, "iPad", 1)}


def line(verb, *numbers):
    return verb + "".join(" %g" % n for n in numbers) + "\n"


def observed(script_lines):
    """Touch lines with a session dump after each move and pictures on the way."""
    text, moves = "", 0
    for l in script_lines:
        text += l
        if l.startswith("move"):
            moves += 1
            text += "dump session\n"
            if moves in (1, 3):
                text += "snap move%d\n" % moves
    return text


def slide(x, y, xs, dy=None):
    lines = [line("down", x, y)]
    for to in xs:
        lines.append(line("move", to, y - (to - x) / 30 if dy is None else y + dy * (to - x)))
    return lines


def slide_y(x, y, ys):
    return [line("down", x, y)] + [line("move", x + (to - y) / 30, to) for to in ys]


def pair(verb, w, h, angle, spread=100):
    cx, cy = w / 2, h / 2
    dx, dy = spread * math.cos(angle), spread * math.sin(angle)
    return line(verb, round(cx - dx), round(cy - dy), round(cx + dx), round(cy + dy))


def turn(w, h, angles):
    return [pair("down", w, h, 0)] + [pair("move", w, h, a) for a in angles]


def pinch(w, h, spreads):
    return [pair("down", w, h, 0)] + [pair("move", w, h, 0, s) for s in spreads]


def gestures(w, h):
    """Each gesture's touches: name, unlock type, short of the limit, across it."""
    return {
        "drag": (0, slide(40, h / 2, [80]), slide(40, h / 2, [120, 230, 260, 290])),
        "overlay": (1, slide(w / 2, h / 2, [w / 2 + 60]), slide(30, h / 2, [90, 150, 230, 250, 270])),
        "pinch": (2, pinch(w, h, [95, 90]), pinch(w, h, [95, 60, 45, 40, 35])),
        "pinch-out": (2, pinch(w, h, [105, 120]), pinch(w, h, [110, 150, 210, 230])),
        "peel": (3, slide(w - 20, h / 2, [w - 60]),
                 slide(w - 20, h / 2, [w - 80, w - 150, w - 160, w - 170, w - 180, w - 190])),
        "badge": (4, slide(w - 25, h / 2, [w - 45]),
                  slide(w - 25, h / 2, [w - 45, w - 65, w - 85, w - 150, w - 200, w - 260, w - 270, w - 280])),
        "rotate": (5, turn(w, h, [0.1, 0.4]), turn(w, h, [0.1, 0.5, 1.0, 1.4, 1.6, 1.7, 1.8])),
        "rotate-back": (5, turn(w, h, [-0.1, -0.4]), turn(w, h, [-0.1, -0.5, -1.0, -1.4, -1.6, -1.7])),
        "vault": (6, turn(w, h, [0.1, 0.4]), turn(w, h, [0.1, 0.5, 1.0, 1.4, 1.6, 1.7, 1.8])),
    }


PREAMBLE = "front-app com.example.mail\nboot\ndown 60 %d\nmove %d %d\nup\nwait 400\n"


def case(screen, prefs, passcode, touches, extra_end=""):
    w, h, model, scale = SCREENS[screen]
    text = "prefs clear\n" + "".join("prefs set %s %s\n" % kv for kv in prefs)
    text += "device %s\nscreen %d %d %d\n" % ("\"iPod touch\"" if model == "iPod touch" else model, w, h, scale)
    if passcode:
        text += "passcode on\n"
    bar = h - 48
    text += PREAMBLE % (bar, w - 40, bar)
    if passcode:
        text += "passcode enter\nwait 400\n"
    text += "lock\nwake\ndump views\ndump session\nsnap lit\n"
    text += observed(touches) + "up\nsnap lifted\nwait 100\nsnap after100\nwait 250\ndump session\nsnap after350\n"
    text += "wait 1200\n"
    text += "dump session\ndump views\ndump settings\nsnap end\n" + extra_end
    return text


def cases():
    for screen in SCREENS:
        w, h = SCREENS[screen][:2]
        for name, (kind, short, across) in gestures(w, h).items():
            for passcode in (False, True):
                for label, touches in (("short", short), ("across", across)):
                    yield "%s-%s-%s%s" % (screen, name, label, "-passcode" if passcode else ""), \
                        case(screen, [("cvrUnlockType", kind)], passcode, touches)
    w, h = 320, 480
    # The drag and the overlay in every direction setting, each way, with each animation.
    moves = {"right": slide(40, 240, [120, 230, 260]), "left": slide(280, 240, [200, 90, 60]),
             "up": slide_y(160, 400, [330, 200, 150]), "down": slide_y(160, 80, [150, 230, 260])}
    for kind in (0, 1):
        for direction in (-1, 0, 1, 2, 3, 4, 5, 6, 7):
            for way, touches in moves.items():
                yield "dir-%d-%d-%s" % (kind, direction, way), case(
                    "phone", [("cvrUnlockType", kind), ("cvrUnlockDirection", direction)], False, touches)
    for unlock in (0, 1, 2, 3):
        for release in (0, 1, 2):
            for way in ("right", "down"):
                for label, touches in (("across", moves[way]), ("short", moves[way][:2])):
                    yield "anim-%d-%d-%s-%s" % (unlock, release, way, label), case(
                        "phone", [("cvrUnlockType", 0), ("cvrUnlockAnimation", unlock),
                                  ("cvrReleaseAnimation", release)], False, touches)
    for distance in ("0", "0.5", "2"):
        yield "distance-%s" % distance, case("phone", [("cvrUnlockType", 0), ("cvrDragDistance", distance)],
                                             False, moves["right"])
    # The peel in each permitted direction, pulled each way.
    peels = {"left": slide(300, 240, [240, 170, 160, 150, 140]), "right": slide(20, 240, [80, 150, 160, 170, 180]),
             "back": slide(300, 240, [240, 300, 320])}
    for direction in (0, 1, 2, 3):
        for turn_distance in ("0.6", "0.2"):
            for way, touches in peels.items():
                for passcode in (False, True):
                    yield "peel-%d-%s-%s%s" % (direction, turn_distance, way, "-passcode" if passcode else ""), case(
                        "phone", [("cvrUnlockType", 3), ("pageTurnDirection", direction),
                                  ("cvrTurnDistance", turn_distance)], passcode, touches)
    # The badge from each edge, with each design.
    pulls = {0: slide_y(160, 470, [450, 400, 300, 250, 200]), 1: slide(5, 240, [30, 60, 150, 250, 300]),
             2: slide(315, 240, [290, 260, 150, 60, 30]), 3: slide(315, 240, [290, 200])}
    for direction, touches in pulls.items():
        for design in (0, 1, 2, 3, 4, 7):
            for passcode in (False, True):
                yield "badge-%d-%d%s" % (direction, design, "-passcode" if passcode else ""), case(
                    "phone", [("cvrUnlockType", 4), ("cvrPullDirection", direction), ("cvrBadgeDesign", design),
                              ("cvrColor", "\"{0.2, 0.4, 0.9, 1}\"")], passcode, touches)
        yield "badge-%d-release-short" % direction, case("phone", [("cvrUnlockType", 4), ("cvrPullDirection", direction)],
                                                          False, touches[:3])
    # Unlock types out of range, and the tweak switched off, with one finger and with two.
    for kind in ("-1", "7", "99", "2.5", "\"abc\""):
        for label, touches in (("one", moves["right"]), ("two", turn(320, 480, [0.5, 1.7])),
                               ("pinch", pinch(320, 480, [60, 30]))):
            yield "type-%s-%s" % (kind.strip('"').replace(".", "_"), label), case(
                "phone", [("cvrUnlockType", kind)], False, touches)
    for kind in (0, 2, 3, 4, 6):
        yield "off-%d" % kind, case("phone", [("cvrUnlockType", kind), ("cvrEnabled", "NO")], False,
                                    moves["right"])
    # Interrupted gestures: cancelled, an alert, the camera, dimming and locking on the way.
    for kind in range(7):
        g = list(gestures(320, 480).values())[[0, 1, 2, 4, 5, 7, 8][kind]][2]
        for interruption in ("cancel", "alert", "camera on", "dim", "lock", "plugin-fullscreen"):
            touches = g[:3] + [interruption + "\n"] + g[3:]
            yield "interrupt-%d-%s" % (kind, interruption.replace(" ", "-")), case(
                "phone", [("cvrUnlockType", kind)], False, touches)
    # Chrome: the clock hidden, the status-bar time, the slider hidden.
    for keys in ([("cvrHideLockClock", "YES")], [("cvrShowStatusBarClock", "YES")],
                 [("cvrHideUnlockSlider", "YES")], [("cvrHideLockClock", "YES"), ("cvrShowStatusBarClock", "YES")]):
        for kind in (0, 4, 6):
            yield "chrome-%d-%s" % (kind, "-".join(k for k, _ in keys)), case(
                "phone", [("cvrUnlockType", kind)] + keys, False, moves["right"])
    # A settings change while the lock screen shows.
    for kind in range(7):
        yield "switch-%d" % kind, case("phone", [("cvrUnlockType", 0)], False, moves["right"][:1],
                                       "prefs set cvrUnlockType %d\nnotify com.quillmoss.corvane.prefsUpdated\n"
                                       "lock\nwake\ndump views\ndump session\nsnap switched\n" % kind)


def run(program, arguments, stdin=""):
    return subprocess.run([os.path.join(bin_dir, program)] + arguments, input=stdin.encode(),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def fresh_root(folder):
    root = os.path.join(folder, "root")
    shutil.copytree(os.path.join(device, "Library"), os.path.join(root, "Library"))
    return root


def main():
    os.makedirs(out, exist_ok=True)
    scratch = tempfile.mkdtemp()
    try:
        count = 0
        for name, script in cases():
            folder = os.path.join(out, "sim", name)
            os.makedirs(folder, exist_ok=True)
            root = fresh_root(os.path.join(scratch, name))
            with open(os.path.join(folder, "script.sim"), "w") as f:
                f.write(script)
            result = run("corvane-sim", ["--root", root, "--script", "-", "--record", folder], script)
            with open(os.path.join(folder, "trace.jsonl"), "wb") as f:
                f.write(result.stdout + b"status %d\n" % result.returncode)
            count += 1
        for example in sorted(os.listdir(examples)):
            folder = os.path.join(out, "examples", example)
            os.makedirs(folder, exist_ok=True)
            root = fresh_root(os.path.join(scratch, "example-" + example))
            result = run("corvane-sim", ["--root", root, "--script", os.path.join(examples, example),
                                         "--record-animation", os.path.join(folder, "recording.webp")])
            with open(os.path.join(folder, "trace.jsonl"), "wb") as f:
                f.write(result.stdout + b"status %d\n" % result.returncode)
            count += 1
        for enabled in ("YES", "NO"):
            for kind in ("-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "99"):
                folder = os.path.join(out, "panel", "%s-%s" % (enabled, kind))
                os.makedirs(folder, exist_ok=True)
                root = fresh_root(os.path.join(scratch, "panel-%s-%s" % (enabled, kind)))
                script = "open\nrows\nset cvrUnlockType %s\nrows\nset cvrEnabled %s\nrows\nsnap rows\n" % (kind, enabled)
                result = run("corvane-settings", ["--root", root, "--script", "-", "--record", folder], script)
                with open(os.path.join(folder, "trace.jsonl"), "wb") as f:
                    f.write(result.stdout + b"status %d\n" % result.returncode)
                count += 1
        print("recorded %d runs into %s" % (count, out))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


main()
