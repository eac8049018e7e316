#!/usr/bin/env python3
"""Runs the README's examples as a reader would, in order, from a scratch copy of the build.

A code block marked with `<!-- example -->` on the line before it is a shell block to run; one
marked `<!-- example file=NAME -->` is a file the next blocks use. The programs are copied into
a scratch `build/bin` beside a fresh `build/device`, so they take it for their build tree's device
and the real build's settings are left alone.

Usage: check_readme.py README BUILD_DIR SOURCE_DIR
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

PROGRAMS = ["corvanectl", "corvane-sim", "corvane-settings", "corvane-sheet"]
BLOCK = re.compile(r"<!-- example(?: file=(\S+))? -->\n```[a-z]*\n(.*?)```", re.S)


def scratch_build(build: pathlib.Path, source: pathlib.Path, where: pathlib.Path) -> None:
    (where / "build" / "bin").mkdir(parents=True)
    for program in PROGRAMS:
        shutil.copy2(build / "bin" / program, where / "build" / "bin" / program)
    (where / "build" / "CMakeCache.txt").touch()
    shutil.copytree(build / "device" / "Library", where / "build" / "device" / "Library")
    shutil.copytree(source / "examples", where / "examples")


def main() -> int:
    readme, build, source = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
    blocks = BLOCK.findall(readme.read_text())
    if not blocks:
        print("no examples found in", readme)
        return 1
    with tempfile.TemporaryDirectory() as folder:
        where = pathlib.Path(folder)
        scratch_build(build, source, where)
        for number, (file_name, text) in enumerate(blocks, 1):
            if file_name:
                (where / file_name).write_text(text)
                continue
            run = subprocess.run(["bash", "-euo", "pipefail", "-c", text], cwd=where,
                                 capture_output=True, text=True, timeout=60)
            if run.returncode != 0:
                print(f"example {number} failed with status {run.returncode}:\n{text}")
                print(run.stdout[-2000:], run.stderr[-2000:])
                return 1
    print(f"{len(blocks)} examples ran")
    return 0


if __name__ == "__main__":
    sys.exit(main())
