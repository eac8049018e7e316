#!/usr/bin/env python3
"""Writes docs/performance.md (and its plot) from Google Benchmark JSON files.

Every benchmark is shown beside its yardstick: frame benchmarks as a multiple of a memcpy of the
same frame and of cairo's own drawing of it (the counters x_memcpy and x_cairo the benchmarks
report) and as a share of a 120 Hz frame (8.3 ms); everything else as a share of that frame too,
since each runs once a touch or once a frame at most.

Beside them: what ran (the instruction set of the sampling kernels and how many cores drew, from
the frame benchmarks' labels), how many bytes a frame moves a second beside memcpy's, the frames
drawn on two cores against one, the same frames built with the portable pixel loops, the wait of a
touch to be seen in the window, and the targets the frames are held to.

Usage: performance_report.py OUTPUT_MD PLOT_SVG MACHINE_LINE RESULT.json...
           [--latency LATENCY.json] [--portable P.json...]
"""
import argparse
import json
import math
import pathlib
import re
import sys

FRAME_120HZ_NS = 1e9 / 120
# Frame benchmarks named NAME/WIDTH/HEIGHT/SCALE...: the plot's three families.
FAMILIES = {
    "BM_DragFrame": ("drag", "#1f77b4"),
    "BM_PageCurlFrame": ("curl", "#d62728"),
    "BM_PinchRotateFrame": ("pinch", "#2ca02c"),
}
SIZE = re.compile(r"^(BM_\w+)/(\d+)/(\d+)/(\d+)(?:/(-?\d+))?")


def nanoseconds(run):
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run.get("time_unit", "ns")]
    # A benchmark timed by hand (manual_time) reports its frame in real time; the others in CPU.
    time = run["real_time"] if "manual_time" in run["name"] else run["cpu_time"]
    return time * scale


def readable(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.1f} µs"
    return f"{ns:.0f} ns"


def best_ratio(runs, counter):
    """The best frame time over the best yardstick time, each over all repetitions: a
    repetition's yardstick takes its frame time over its ratio to it."""
    yardsticks = [nanoseconds(run) / run[counter] for run in runs if run.get(counter)]
    if not yardsticks:
        return None
    return min(nanoseconds(run) for run in runs) / min(yardsticks)


def best_counter(runs, counter):
    values = [run[counter] for run in runs if run.get(counter)]
    return max(values) if values else None


def short_name(name):
    """How a benchmark was timed is not part of what it measures."""
    return re.sub(r"/(manual_time|iterations:\d+)$", "", name)


def rows_of(files):
    """A row per benchmark: its best repetition in every file of its program (one file a pass),
    beside the best of its yardsticks."""
    rows = []
    repetitions = {}
    for file in files:
        data = json.loads(pathlib.Path(file).read_text())
        program = pathlib.Path(file).stem
        for run in data["benchmarks"]:
            if run.get("run_type") != "aggregate":
                name = run.get("run_name", run["name"])
                repetitions.setdefault((program, name), []).append(run)
    for (program, name), runs in repetitions.items():
        rows.append({"program": program, "name": short_name(name),
                     "ns": min(nanoseconds(run) for run in runs),
                     "x_memcpy": best_ratio(runs, "x_memcpy"),
                     "x_cairo": best_ratio(runs, "x_cairo"),
                     "gbps": best_counter(runs, "GBps"),
                     "memcpy_gbps": best_counter(runs, "memcpy_GBps"),
                     "label": runs[0].get("label", "")})
    return rows


def table(rows):
    lines = ["| program | benchmark | drawn with | time | × memcpy of the frame | × cairo | "
             "GB/s (memcpy's) | share of a 120 Hz frame |",
             "|---|---|---|---|---|---|---|---|"]
    for row in rows:
        memcpy = f"{row['x_memcpy']:.1f}" if row["x_memcpy"] else ""
        cairo = f"{row['x_cairo']:.2f}" if row["x_cairo"] else ""
        rate = (f"{row['gbps']:.1f} ({row['memcpy_gbps']:.0f})"
                if row["gbps"] and row["memcpy_gbps"] else "")
        share = f"{100 * row['ns'] / FRAME_120HZ_NS:.3g} %"
        lines.append(f"| {row['program']} | `{row['name']}` | {row['label']} | "
                     f"{readable(row['ns'])} | {memcpy} | {cairo} | {rate} | {share} |")
    return "\n".join(lines)


def find(rows, name):
    return next((row for row in rows if row["name"] == name), None)


def two_cores(rows):
    """Each frame drawn on two cores beside the same frame on one."""
    lines = ["| frame | one core | two cores | two cores ÷ one |", "|---|---|---|---|"]
    for row in rows:
        if "TwoCores" not in row["name"]:
            continue
        one = find(rows, row["name"].replace("TwoCores", ""))
        if not one:
            continue
        lines.append(f"| `{one['name']}` | {readable(one['ns'])} | {readable(row['ns'])} | "
                     f"{row['ns'] / one['ns']:.2f} |")
    return "\n".join(lines)


def portable(rows, portable_rows):
    """The frames built with the portable pixel loops beside the same frames built with SIMD."""
    lines = ["| frame | SIMD build | portable build | portable ÷ SIMD |", "|---|---|---|---|"]
    for row in portable_rows:
        simd = find(rows, row["name"])
        if not simd or "TwoCores" in row["name"] or not SIZE.match(row["name"]):
            continue
        drawn = f" ({simd['label']})" if simd["label"] else ""
        lines.append(f"| `{row['name']}` | {readable(simd['ns'])}{drawn} | "
                     f"{readable(row['ns'])} | {row['ns'] / simd['ns']:.2f} |")
    return "\n".join(lines)


# The frames' targets: (benchmark, most milliseconds, most × cairo, most × memcpy, most × one core).
TARGETS = [
    ("BM_PinchRotateFrame/430/932/3", 5, 0.30, None, None),
    ("BM_PinchRotateFrame/320/480/1", 0.15, None, None, None),
    ("BM_PageCurlFrame/430/932/3/180", 6, 0.35, None, None),
    ("BM_PageCurlFrame/430/932/3/-135", 6, 0.35, None, None),
    ("BM_DragFrame/430/932/3", None, None, 4, None),
    ("BM_PinchRotateFrameTwoCores/430/932/3", None, None, None, 0.6),
    ("BM_PageCurlFrameTwoCores/430/932/3/-135", None, None, None, 0.6),
]


def targets(rows, portable_rows):
    """Each target against the SIMD build, and, at twice its bound, against the portable build."""
    lines = ["| frame | build | target | measured | held |", "|---|---|---|---|---|"]
    for build, measured_rows, factor in (("SIMD", rows, 1), ("portable", portable_rows, 2)):
        for name, *bounds in TARGETS:
            if factor != 1 and bounds[3] is not None:
                continue  # two cores against one: the SIMD build's alone
            bounds = [bound * factor if bound is not None else None for bound in bounds[:3]] + \
                [bounds[3]]
            for target, measured, held in checks_of(measured_rows, name, *bounds):
                lines.append(f"| `{name}` | {build} | {target} | {measured} | "
                             f"{'yes' if held else '**no**'} |")
    return "\n".join(lines)


def checks_of(rows, name, ms, cairo, memcpy, cores):
    """(target, measured, held) for each bound given of the frame `name`."""
    row = find(rows, name)
    checks = []
    if row:
        if ms is not None:
            checks.append((f"≤ {ms:g} ms", f"{row['ns'] / 1e6:.3g} ms", row["ns"] / 1e6 <= ms))
        if cairo is not None and row["x_cairo"]:
            checks.append((f"≤ {cairo:g} × cairo", f"{row['x_cairo']:.2f} × cairo",
                           row["x_cairo"] <= cairo))
        if memcpy is not None and row["x_memcpy"]:
            checks.append((f"≤ {memcpy:g} × memcpy", f"{row['x_memcpy']:.1f} × memcpy",
                           row["x_memcpy"] <= memcpy))
        one = find(rows, name.replace("TwoCores", ""))
        if cores is not None and one:
            ratio = row["ns"] / one["ns"]
            checks.append((f"≤ {cores:g} × one core", f"{ratio:.2f} × one core", ratio <= cores))
    return checks


def latency_section(path):
    if not path:
        return ("The wait of a touch to be seen in the window was not measured here (it needs Xvfb "
                "and xdotool: `scripts/window-latency.sh build`).")
    figures = json.loads(pathlib.Path(path).read_text())
    first = figures.get("first_pinch_ms_max")
    first_text = ("" if first is None else f""" The first pinch after the program starts is
measured apart; its longest wait was {first:g} ms. A fresh process's first pictures of the whole
screen wait for the system to hand their memory out (on a virtual machine, a few tenths of a
second), so the window has that memory handed out while it opens, and the program keeps the
memory of the pictures it lets go for the next ones.""")
    return f"""From a mouse event to the present of the first frame that shows it, in the device window
of `corvane-sim --device {figures['device']}` (1290×2796 pixels, shown scaled down) on a virtual
display, two fingers pinching the lock screen (a scaled picture, the costliest kind of frame),
measured by the window itself (`--latency-log`: SDL's event timestamps against the moment the
frame is presented) over {figures['frames']} frames by `scripts/window-latency.sh`.{first_text}

| wait of a touch | middle | 95th percentile | longest | drawing a frame (middle) | presenting it (middle) |
|---|---|---|---|---|---|
| milliseconds | {figures['input_ms_median']:g} | {figures['input_ms_p95']:g} | {figures['input_ms_max']:g} | {figures['draw_ms_median']:g} | {figures['present_ms_median']:g} |

A 60 Hz display shows a frame every 16.7 ms. The window draws the frame that shows a touch as
soon as the touch comes (unless a frame went out less than half a refresh before), takes the
compositor's bitmap as it is rather than a copy of it, and hands the window system a screen
shrunk by whole blocks to about the window's size rather than the full 14 MB picture."""


def series(rows):
    """(family, [(megapixels, ms)]) for the frame families, one curl angle."""
    points = {family: [] for family in FAMILIES}
    for row in rows:
        match = SIZE.match(row["name"])
        if not match or match.group(1) not in FAMILIES:
            continue
        if match.group(5) not in (None, "180"):
            continue  # the curl's other angle is in the table
        width, height, scale = (int(match.group(i)) for i in (2, 3, 4))
        pixels = width * scale * height * scale / 1e6
        points[match.group(1)].append((pixels, row["ns"] / 1e6))
    return {family: sorted(p) for family, p in points.items() if p}


def nice_step(largest, ticks=5):
    """A round step (1, 2 or 5 times a power of ten) that covers `largest` in about `ticks`."""
    raw = largest / ticks
    power = 10 ** math.floor(math.log10(raw)) if raw > 0 else 1
    return next(m * power for m in (1, 2, 5, 10) if m * power >= raw)


def label_places(families, at, gap=14):
    """Where each line's name goes: beside its last point, lines that end close together pushed
    apart, the lower ones down, so that no name lies over another."""
    ends = sorted(((family, at(*pts[-1])) for family, pts in families.items() if pts),
                  key=lambda end: end[1][1])
    places = []
    for family, (x, y) in ends:
        if places and y < places[-1][1][1] + gap:
            y = places[-1][1][1] + gap
        places.append((family, (x, y)))
    return places


def plot(families, path):
    """A line plot as SVG: frame time against screen size, with the 120 Hz budget marked."""
    width, height, left, bottom, top, right = 640, 360, 60, 50, 20, 110
    xs = [x for pts in families.values() for x, _ in pts] or [1]
    ys = [y for pts in families.values() for _, y in pts] + [FRAME_120HZ_NS / 1e6]
    x_step, y_step = nice_step(max(xs)), nice_step(max(ys))
    x_max = x_step * math.ceil(max(xs) / x_step)
    y_max = y_step * math.ceil(max(ys) * 1.05 / y_step)

    def at(x, y):
        return (left + x / x_max * (width - left - right),
                height - bottom - y / y_max * (height - top - bottom))

    svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
           'font-family="DejaVu Sans, sans-serif" font-size="12">',
           f'<rect width="{width}" height="{height}" fill="white"/>']
    x0, y0 = at(0, 0)
    x1, y1 = at(x_max, y_max)
    svg.append(f'<path d="M{x0},{y1} V{y0} H{x1}" stroke="black" fill="none"/>')
    for i in range(0, round(x_max / x_step) + 1):
        px, _ = at(i * x_step, 0)
        svg.append(f'<text x="{px:.0f}" y="{y0 + 16:.0f}" text-anchor="middle">{i * x_step:g}</text>')
    for i in range(0, round(y_max / y_step) + 1):
        _, py = at(0, i * y_step)
        svg.append(f'<text x="{x0 - 6:.0f}" y="{py + 4:.0f}" text-anchor="end">{i * y_step:g}</text>')
    svg.append(f'<text x="{(x0 + x1) / 2:.0f}" y="{height - 12}" text-anchor="middle">'
               'screen size (million pixels)</text>')
    svg.append(f'<text x="14" y="{(y0 + y1) / 2:.0f}" text-anchor="middle" '
               f'transform="rotate(-90 14 {(y0 + y1) / 2:.0f})">frame time (ms)</text>')
    _, budget = at(0, FRAME_120HZ_NS / 1e6)
    svg.append(f'<line x1="{x0}" y1="{budget:.1f}" x2="{x1}" y2="{budget:.1f}" stroke="#888" '
               'stroke-dasharray="5,4"/>')
    # The budget is named at its left end, clear of the lines' names at their right ends.
    svg.append(f'<text x="{x0 + 6:.0f}" y="{budget - 6:.0f}" fill="#666">120 Hz frame</text>')
    for family, pts in families.items():
        label, colour = FAMILIES[family]
        path_d = " ".join(("M" if i == 0 else "L") + "%.1f,%.1f" % at(x, y)
                          for i, (x, y) in enumerate(pts))
        svg.append(f'<path d="{path_d}" stroke="{colour}" stroke-width="2" fill="none"/>')
        for x, y in pts:
            px, py = at(x, y)
            svg.append(f'<circle cx="{px:.1f}" cy="{py:.1f}" r="3.5" fill="{colour}"/>')
    for family, (x, y) in label_places(families, at):
        label, colour = FAMILIES[family]
        svg.append(f'<text x="{x + 8:.0f}" y="{y + 4:.0f}" fill="{colour}">{label}</text>')
    svg.append("</svg>")
    pathlib.Path(path).write_text("\n".join(svg) + "\n")


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument("output")
    arguments.add_argument("plot")
    arguments.add_argument("machine")
    arguments.add_argument("--portable", nargs="*", default=[])
    arguments.add_argument("--latency")
    arguments.add_argument("results", nargs="+")
    options = arguments.parse_args()
    output, plot_path, machine = options.output, options.plot, options.machine
    rows = rows_of(options.results)
    portable_rows = rows_of(options.portable)
    plot(series(rows), plot_path)
    relative_plot = pathlib.Path(plot_path).relative_to(pathlib.Path(output).parent)
    text = f"""# Performance

Every benchmark of the project, each beside its yardstick: a frame's time as a multiple of a
`memcpy` of the same pixels and of cairo drawing the same frame its own way, and every time as a
share of a 120 Hz frame (8.3 ms), the budget of a smooth screen. Every time is the best of five
repetitions (for the frames, in three passes minutes apart), and every ratio that best over the
best of the yardstick's own tries in those repetitions: on a shared machine the best run is the
one least disturbed by others, and a virtual machine's neighbours can slow a whole pass by half.

Machine: {machine}. Each frame benchmark names the instruction set its sampling ran on
(portable C++, SSE2, or AVX2 where the processor has it, for the hand-written steps and the
compiler's clones alike) and how many cores drew; the one-core figures are the ones held to the
targets below, the two-core ones show what sharing a frame in bands of rows gains.

Regenerate with `scripts/performance.sh` (it builds the benchmarks in Release and rewrites this
page and its plot).

![Frame time against screen size for the drag, curl and pinch frames]({relative_plot})

The three screens are 320×480 at scale 1, 375×667 at scale 2 and 430×932 at scale 3 (1290×2796
pixels); a frame benchmark's arguments are the screen's width and height in points and its
scale, and for the curl the pull's angle in degrees (180 pulls to the left, as a page is
turned, and -135 up and to the left, the slowest; the plot shows the leftward pull). The drag
frame moves a whole-pixel picture and is bounded by memory bandwidth; the curl and pinch frames
resample every pixel. Pictures of a screen's size lie on the processor's 2 MiB pages where the
system offers them (`madvise`): a turned or curled picture is read along slanting lines, a row
apart every pixel or two, and on 4 KiB pages nearly every such read needed an address
translation the processor no longer held; the large pages took 3 to 7 % off the large frames.
The plain C++ loops (the portable build, and the few pixels the SIMD steps leave over) read a
chunk's taps in one pass, each pair of pixels side by side in a row as one 8-byte read, and mix
them channel by channel in a second, in 16-bit lanes that a compiler multiplies eight at a time
with SSE2 alone; a walk's fractions need only the low 16 bits of its coordinates, so the second
pass works them out in those lanes from the chunk's first pixel rather than the first pass
keeping four copies of each; the AVX2 steps work out each mix of two
channels as one rounding high multiplication of their difference, and eight pixels' tap offsets
and weights in one vector each, every weight spread to the lanes that mix it by one shuffle; the
pinch runs one loop for each way of blending, and redoes a row's last few pixels as its last
four. Around the steps, each row of a turned picture finds the pixels they may take with one
multiplication and one rounding for each of the picture's edges, and the few pixels on those
edges weigh how much of them the picture covers by multiplying, never dividing. At 320×480 the
steps are three fifths of the frame, the edges a seventh, the copy of the picture beside the
turned one a tenth. Most of a curl frame's time goes to the cylinder, whose eight pixels at a time
look up the curl's table before they can read the page: each step looks up the next eight while
it reads the page for these, as the processor cannot see that far ahead by itself. Every way
gives the same pixels.

A frame's bytes a second count what it must at least move: two pictures of the screen's size
read and one written, against memcpy's read and write of one; the distance between the two shows
how far a frame is from the memory's limit.

{table(rows)}

## Targets

Each frame on one core (the two-core twins against the same frame on one); the portable build is
held to twice each bound.

{targets(rows, portable_rows)}

## Two cores

{two_cores(rows)}

## The portable build

The same frames with the pixel loops in plain C++ (`-DCORVANE_SIMD=OFF`, as on a processor
without SSE2), one core, the best of three repetitions in each of three passes beside the SIMD
build's:

{portable(rows, portable_rows) if portable_rows else "Not measured in this run."}

## Touch to screen

{latency_section(options.latency)}
"""
    pathlib.Path(output).write_text(text)


if __name__ == "__main__":
    main()
