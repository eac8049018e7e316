#!/usr/bin/env python3
"""Plays one script of examples/ the way scripts/record-demos.sh does: corvane-sim on a fresh
device root holding the build's tweak and artwork, recording an animated picture. The script must
run to its end, its gesture must unlock the device (an "unlocked" event after the last "locked"
one: the stock bar's unlock before it does not count), and the recording must be an animated WebP
file of more than one frame.

Usage: check_example.py CORVANE_SIM DEVICE_DIR EXAMPLE.sim
"""

import json
import pathlib
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from example_run import gesture_unlock_problems, recording_problems  # noqa: E402


def problems_of(sim, device, example, scratch):
    root = scratch / "root"
    shutil.copytree(device / "Library", root / "Library")
    recording = scratch / "run.webp"
    run = subprocess.run(
        [sim, "--root", str(root), "--script", str(example), "--record-animation", str(recording)],
        capture_output=True, text=True, check=False)
    events = [json.loads(line) for line in run.stdout.splitlines() if line.strip()]
    problems = []
    if run.returncode != 0:
        problems.append(f"corvane-sim exited with {run.returncode}: {run.stderr.strip()}")
    problems += [f"line {e['line']}: {e['text']}" for e in events if e["ev"] == "error"]
    problems += gesture_unlock_problems(events)
    problems += recording_problems(recording)
    return problems


def main():
    sim, device, example = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    with tempfile.TemporaryDirectory(prefix="corvane-example-") as scratch:
        problems = problems_of(sim, device, example, pathlib.Path(scratch))
    for problem in problems:
        print(f"{example.name}: {problem}")
    if not problems:
        print(f"{example.name}: ran to its end, the gesture unlocked, recorded")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
