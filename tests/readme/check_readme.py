#!/usr/bin/env python3
"""Runs the README's examples as a reader would, in order, from a scratch copy of the build.

A code block marked with `<!-- example -->` on the line before it is a shell block to run; one
marked `<!-- example file=NAME -->` is a file the next blocks use. A shell block may also name
what it must leave behind: `trace=NAME`, a trace in which the gesture unlocks the device (an
`unlocked` event after the last `locked` one, not merely the stock bar's unlock before it), and
`recording=NAME`, an animated WebP recording of more than one frame. The programs are copied into
a scratch `build/bin` beside a fresh `build/device`, so they take it for their build tree's device
and the real build's settings are left alone.

Usage: check_readme.py README BUILD_DIR SOURCE_DIR
"""
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from example_run import gesture_unlock_problems, recording_problems  # noqa: E402

PROGRAMS = ["corvanectl", "corvane-sim", "corvane-settings", "corvane-sheet"]
BLOCK = re.compile(r"<!-- example((?: \w+=\S+)*) -->\n```[a-z]*\n(.*?)```", re.S)
MARKS = ("file", "trace", "recording")


def scratch_build(build: pathlib.Path, source: pathlib.Path, where: pathlib.Path) -> None:
    (where / "build" / "bin").mkdir(parents=True)
    for program in PROGRAMS:
        shutil.copy2(build / "bin" / program, where / "build" / "bin" / program)
    (where / "build" / "CMakeCache.txt").touch()
    shutil.copytree(build / "device" / "Library", where / "build" / "device" / "Library")
    shutil.copytree(source / "examples", where / "examples")


def marks_of(text: str) -> dict:
    """The `name=value` marks of an example's comment; unknown names raise, so a misspelt mark
    cannot quietly check nothing."""
    marks = dict(pair.split("=", 1) for pair in text.split())
    unknown = set(marks) - set(MARKS)
    if unknown:
        raise ValueError(f"unknown example marks {sorted(unknown)}; known: {MARKS}")
    return marks


def left_behind_problems(marks: dict, where: pathlib.Path) -> list:
    """Why what a block promised to leave behind (its trace, its recording) is not right."""
    problems = []
    if "trace" in marks:
        trace = where / marks["trace"]
        if not trace.is_file():
            problems.append(f"no trace {marks['trace']} was written")
        else:
            events = [json.loads(line) for line in trace.read_text().splitlines() if line.strip()]
            problems += gesture_unlock_problems(events)
    if "recording" in marks:
        problems += recording_problems(where / marks["recording"])
    return problems


def main() -> int:
    readme, build, source = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
    blocks = BLOCK.findall(readme.read_text())
    if not blocks:
        print("no examples found in", readme)
        return 1
    marked = readme.read_text().count("<!-- example")
    if marked != len(blocks):
        print(f"{marked} examples are marked in {readme} but only {len(blocks)} are read as examples")
        return 1
    with tempfile.TemporaryDirectory() as folder:
        where = pathlib.Path(folder)
        scratch_build(build, source, where)
        for number, (mark_text, text) in enumerate(blocks, 1):
            marks = marks_of(mark_text)
            if "file" in marks:
                (where / marks["file"]).write_text(text)
                continue
            run = subprocess.run(["bash", "-euo", "pipefail", "-c", text], cwd=where,
                                 capture_output=True, text=True, timeout=60)
            if run.returncode != 0:
                print(f"example {number} failed with status {run.returncode}:\n{text}")
                print(run.stdout[-2000:], run.stderr[-2000:])
                return 1
            problems = left_behind_problems(marks, where)
            if problems:
                print(f"example {number} ran but did not do what it shows:\n{text}")
                print("\n".join(problems))
                return 1
    print(f"{len(blocks)} examples ran")
    return 0


if __name__ == "__main__":
    sys.exit(main())
