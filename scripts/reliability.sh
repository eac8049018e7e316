#!/usr/bin/env bash
# The hardening checks in their full forms, and their figures written into docs/reliability.md
# between the markers <!-- stress:begin --> and <!-- stress:end --> (the rest of the file, the
# fuzzing section included, is left as it is):
#   atomic writes   a writer of a large settings file killed with SIGKILL 1,000 times
#   soak            10,000 lock, wake and unlock cycles in one SpringBoard (and 300 under
#                   AddressSanitizer when a sanitizer build with corvane-sim exists)
#   storms          10,000 settings notifications during a drag; 100 restarts from the panel
#   at once         8 corvanectl writers and the panel, 500 changes each; 1,000 settings changes
#                   each after 64 KiB of other notifications; restarts with untrustworthy pid
#                   files; every program onto /dev/full, a closed pipe and a full disk
#   bad input       every command, script and device root given bad input (hardening_tests)
#
# Usage: scripts/reliability.sh [BUILD_FOLDER [ASAN_BUILD_FOLDER]]
#        (defaults: build, and build-asan when it holds a corvane-sim)
# The build folder is configured and the programs built when they are missing or stale.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
asan=${2:-build-asan}

if [ ! -f "$build/CMakeCache.txt" ]; then
    bash scripts/install-deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target corvane-stress hardening_tests >/dev/null

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
stress="$build/bin/corvane-stress"
failed=0

# Runs one check; its "stress-result" line goes to the results.
check() {
    local name=$1
    shift
    echo "== $name: $*"
    if ! "$@" | tee "$results/$name.log"; then failed=1; fi
    grep '^{"stress-result"' "$results/$name.log" > "$results/$name.json" || true
}

check atomic-write "$stress" atomic-write --kills 1000
check soak "$stress" soak --cycles 10000 --checkpoint 1000
if [ -x "$asan/bin/corvane-sim" ]; then
    cmake --build "$asan" -j2 --target corvane-sim corvane-settings Corvane crvsettings \
        corvane_artwork >/dev/null
    check soak-sanitized "$stress" --bin "$asan/bin" --device "$asan/device" \
        soak --cycles 300 --checkpoint 30 --sanitized
else
    echo "== soak-sanitized: skipped, no sanitizer build in $asan"
fi
check notification-storm "$stress" notification-storm --posts 10000
check respring-loop "$stress" respring-loop --restarts 100
check concurrent-writers "$stress" concurrent-writers --writers 8 --changes 500
check notification-flood "$stress" notification-flood --rounds 1000
check hostile-restart "$stress" hostile-restart --rounds 10
check output-failures "$stress" output-failures

echo "== bad-input: $build/bin/hardening_tests"
start=$(date +%s.%N)
if ! "$build/bin/hardening_tests" --gtest_brief=1 > "$results/bad-input.log" 2>&1; then failed=1; fi
end=$(date +%s.%N)
tail -n 3 "$results/bad-input.log"
python3 - "$results/bad-input.log" "$start" "$end" > "$results/bad-input.json" <<'PY'
import json, re, sys
log = open(sys.argv[1]).read()
total = re.search(r"\[==========\] (\d+) tests? from", log)
passed = re.search(r"\[  PASSED  \] (\d+) test", log)
failed = re.findall(r"\[  FAILED  \] (\S+)", log)
print(json.dumps({"stress-result": "bad-input", "passed": not failed and bool(passed),
                  "seconds": float(sys.argv[3]) - float(sys.argv[2]),
                  "figures": {"cases": int(total.group(1)) if total else 0,
                              "answered-as-promised": int(passed.group(1)) if passed else 0},
                  "problems": len(set(failed)), "first-problems": sorted(set(failed))[:20]}))
PY

model=$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)
machine="$(nproc) cores of ${model:-an unknown processor} on $(date -u +%Y-%m-%d)"
python3 - docs/reliability.md "$machine" "$results" <<'PY'
import json, pathlib, sys

doc, machine, results = pathlib.Path(sys.argv[1]), sys.argv[2], pathlib.Path(sys.argv[3])
BEGIN, END = "<!-- stress:begin -->", "<!-- stress:end -->"

def result(name):
    path = results / f"{name}.json"
    text = path.read_text().strip() if path.exists() else ""
    return json.loads(text.splitlines()[-1]) if text else None

def verdict(r):
    if r is None:
        return "not run"
    return "all survived" if r["passed"] else f"**{r['problems']} problems**"

# What each check tried, and the figures that say how much and what survived.
rows = [
    ("atomic-write", "Never half a settings file",
     lambda f: f"{f['kills']:,} SIGKILLs of a writer of a {f['file-bytes'] // 1024} KiB settings file, "
               f"0–{f['max-delay-ms']} ms after it started; {f['writes-completed']:,} writes completed",
     lambda f: f"the file was whole every time ({f['whole-old-after-kill']} old, "
               f"{f['whole-new-after-kill']} new, {f['torn-or-unreadable']} torn); "
               f"{f['kills-that-left-a-temporary-file']} kills left a temporary file, never more than "
               f"{f['most-temporary-files-after-a-kill']} at once, {f['temporary-files-after-a-healthy-write']} "
               f"after the next healthy write"),
    ("soak", "Soak",
     lambda f: f"{f['cycles']:,} lock, wake and unlock cycles in one corvane-sim, the seven gestures in turn "
               f"({f['cycles-with-passcode']:,} with a passcode entered when asked)",
     lambda f: f"{f['unlocked']:,} cycles ended unlocked, {f['failed-cycles']} failed; resident memory "
               f"{f['rss-kib-at-checkpoint']:,} KiB after {f['checkpoint-cycle']:,} cycles, "
               f"{f['rss-kib-at-end']:,} KiB at the end ({f['rss-change-percent']:+}%; of it not "
               f"pages of files {f['anonymous-kib-at-checkpoint']:,} and {f['anonymous-kib-at-end']:,} KiB, "
               f"{f['anonymous-change-percent']:+}%); views "
               f"{f['views-locked-at-checkpoint']} / {f['views-locked-at-end']} with the lock screen showing, "
               f"{f['views-unlocked-at-checkpoint']} / {f['views-unlocked-at-end']} unlocked"),
    ("soak-sanitized", "Soak under AddressSanitizer",
     lambda f: f"{f['cycles']:,} cycles as above, SpringBoard built with AddressSanitizer and "
               f"UndefinedBehaviorSanitizer",
     lambda f: f"{f['unlocked']:,} cycles ended unlocked; no sanitizer report; exit status "
               f"{f['sim-exit-status']}"),
    ("notification-storm", "Notification storm",
     lambda f: f"{f['notifications-posted']:,} `prefsUpdated` posts and {f['settings-files-written']} "
               f"settings files from another process while one finger dragged "
               f"({f['touches-sent']:,} touches), then {f['whole-drags-after-the-storm']} whole drags",
     lambda f: f"{f['notifications-delivered-to-springboard']:,} delivered; the lock screen followed the "
               f"finger after all {f['batches-the-lock-screen-followed']} batches of moves; the drag "
               f"{'ended in one unlock' if f['drag-across-the-storm-ended-in-one-unlock'] else 'did NOT unlock'}; "
               f"final settings {'equal' if f['final-settings-match-the-last-file'] else 'DIFFER from'} "
               f"the last file written"),
    ("respring-loop", "Restart loop",
     lambda f: f"{f['restarts']} restarts from the panel's button, corvane-sim --keep-alive",
     lambda f: f"{f['respring-events']} respring events, {f['fresh-boots-with-the-tweak']} fresh "
               f"SpringBoards with the tweak loaded ({f['distinct-springboard-processes']} processes), "
               f"{f['unlocked']} of {f['unlocks-tried']} unlocks"),
    ("concurrent-writers", "Writers at once",
     lambda f: f"{f['corvanectl-writers']} corvanectl processes writing {f['changes-per-writer']:,} keys "
               f"each and the panel moving a slider {f['panel-changes']:,} times, all at once, while "
               f"a running SpringBoard reloaded on every change and the file was read "
               f"{f['readings-during-the-writes']:,} times",
     lambda f: f"{f['changes-lost']} of {f['changes-made']:,} changes lost; "
               f"{f['readings-not-a-whole-dictionary']} readings not a whole dictionary; SpringBoard "
               f"{'held' if f['springboard-holds-the-last-file'] else 'did NOT hold'} the last file"),
    ("notification-flood", "Notification flood",
     lambda f: f"{f['rounds']:,} rounds of at least {f['other-bytes-per-round'] // 1024} KiB of other notifications "
               f"({f['other-notifications-posted']:,} posts in all) into a SpringBoard that was not "
               f"reading, then one settings change",
     lambda f: f"{f['changes-reaching-the-lock-screen']:,} of {f['changes']:,} changes reached the lock "
               f"screen ({f['changes-that-found-the-pipe-full']:,} found the pipe full and left a mark)"),
    ("hostile-restart", "Restart with untrustworthy pid files",
     lambda f: f"{f['restarts-tried']} restarts from the panel on a device with its own SpringBoard and on "
               f"one without, the pid file stale, another device's SpringBoard (with a copy of its lock file where there was none), an "
               f"unrelated process, garbage, a link or a pipe",
     lambda f: f"{f['processes-outside-the-device-ended']} processes outside the device ended, "
               f"{f['hangs']} hangs; the device's own SpringBoard restarted {f['own-springboard-restarted']} "
               f"times, the device without one ended nothing "
               f"{f['stale-device-restarts-that-ended-nothing']} times"),
    ("output-failures", "Output that cannot be written",
     lambda f: f"{f['runs']} runs of corvanectl, corvane-sim (also kept alive) and corvane-settings printing "
               f"onto /dev/full, into a closed pipe and onto a full disk ({f['full-disk']}), trace files "
               f"onto both, and settings stored onto the full disk",
     lambda f: f"{f['runs-ending-non-zero-with-one-line']} ended with a status that is not 0 and one line "
               f"on standard error (a failed script line with its `error` event); {f['hangs']} hangs; "
               f"{f['settings-files-cut-short']} settings files cut short"),
    ("bad-input", "Bad input",
     lambda f: f"{f['cases']} cases: every command of corvanectl, corvane-sim and corvane-settings, their "
               f"scripts and the README's scripts with missing, extra, huge (128 KiB argument, 1 MiB "
               f"word, 100,000 lines) or malformed input, roots missing, read-only or not folders, "
               f"settings files that are folders, pipes, garbage or too large; links planted in "
               f"`tmp/`, `var/` and the settings folder leading out of the root",
     lambda f: f"{f['answered-as-promised']} answered as documented: bad input with one line on standard "
               f"error or one `error` event and a non-zero status, input the documentation takes "
               f"(a 128 KiB value, the defaults of a read-only device) with status 0; never a crash, "
               f"hang or core; no file outside the root changed"),
]

lines = [
    BEGIN,
    f"Measured on {machine} with `scripts/reliability.sh`, which runs every check below in its",
    "full form and rewrites this section. The short forms run with the tests (`ctest -L stress`,",
    "`hardening_tests`).",
    "",
    "| check | what was tried | what survived | result | time |",
    "|---|---|---|---|---:|",
]
for name, title, tried, survived in rows:
    r = result(name)
    if r is None:
        lines.append(f"| {title} | not run | | | |")
        continue
    f = r["figures"]
    lines.append(f"| {title} | {tried(f)} | {survived(f)} | {verdict(r)} | {r['seconds']:.1f} s |")
    for problem in r.get("first-problems", []):
        lines.append(f"| | | {problem} | | |")
lines += [
    "",
    "Resident memory is judged by its growth (at most 5%): it may also shrink when the kernel",
    "drops pages of the program's files, which is no fault.",
    "",
    "The settings writer's temporary file is `.NAME.XXXXXX.writing` beside the settings file; a",
    "writer holds it locked (`flock`) from its creation until it is renamed into place, and every",
    "write first removes the temporary files of that name that nobody holds, which are the ones of",
    "writers that died mid-write.",
    "",
    "What these checks found, each fixed where it was and kept fixed by a test:",
    "",
    "- Killed writers left their temporary settings files behind, one more with almost every kill",
    "  (26 after 100 kills); now they are removed by the next write.",
    "- A settings write could make a file past the 4 MiB that every reader refuses, after which no",
    "  edit could read it back; such a write is refused and the old file kept.",
    "- A device whose `var/run/notify` was a link out of the root had SpringBoard and the panel make",
    "  their pipes at the link's target, and every post removed the reader-less pipes there and",
    "  wrote into pipes reached through links; the transport now uses no folder behind a link and",
    "  no link in its folder.",
    "- corvane-sim's `prefs clear` and `prefs file` removed or overwrote files behind a linked",
    "  settings folder or a linked settings file; they now refuse a linked folder and replace a link.",
    "- `corvanectl notify` with a name too long to carry posted nothing and answered success.",
    "- `--script` naming a folder ran nothing and answered success (corvane-sim, corvane-settings).",
    "- A `--root` that is missing or not a folder was used anyway (corvanectl `prefs show` made",
    "  folders there); now it is refused with one line.",
    "- A `wait` beyond the clock's range (`wait 1e300`) overflowed the clock's arithmetic; waits are",
    "  now at most a day.",
    "- `screen 4096 4096 4` made every picture of the screen 16,384 pixels square: one line took",
    "  4.3 GB of memory and ten seconds; screens are now at most 4096 x 4096 pixels.",
    "- Without a display, corvane-sim and corvane-settings opened an invisible window and ran",
    "  forever; they now say there is no display.",
    "- `./run.sh` without a display ignored unknown options and went on to build and record;",
    "  `./test.sh` ignored its arguments. Both now refuse them with one line.",
    "- Ten corvanectl processes setting ten keys at once kept 4 to 6 of them, all answering",
    "  success; every change of the settings file is now one transaction under the lock file",
    "  `.com.quillmoss.corvane.plist.lock` beside it.",
    "- After 64 KiB of other notifications a settings change never reached a SpringBoard that had",
    "  not read in the meantime: a full pipe dropped the post. A full pipe now leaves a mark of",
    "  the name, delivered at least once after the last post.",
    "- The panel's restart ended whatever process `var/run/springboard.pid` named if it was called",
    "  corvane-sim, another device's SpringBoard included, and waited for ever on a pipe there; it",
    "  now ends only the process that holds `var/run/springboard.lock`, as that process answers.",
    "- Output onto a full disk, `/dev/full` or a closed pipe answered success; every program now",
    "  says so in one line and ends with status 2.",
    "- Eight corvanectl writers and the open panel at once: one writer, polling for the lock, kept",
    "  missing it while the others took it and gave up after ten seconds (its change reported, not",
    "  lost silently), and the panel rebuilt its rows once for every change made elsewhere, five",
    "  times the run's length. A writer now waits in the kernel and gives up only when no change",
    "  has been finished for ten seconds; the panel rebuilds once for the changes that have come.",
    END,
]
section = "\n".join(lines)

text = doc.read_text() if doc.exists() else (
    "# Reliability\n\nHow Corvane is checked beyond its tests: what is measured, on what machine, and "
    "the command that\nmeasures it again. Each section is written by its own script between its own "
    "markers.\n\n## Fuzzing\n\n<!-- fuzzing:begin -->\n<!-- fuzzing:end -->\n")
if BEGIN in text and END in text:
    before, rest = text.split(BEGIN, 1)
    after = rest.split(END, 1)[1]
    text = before + section + after
else:
    text = text.rstrip("\n") + "\n\n## Stress and bad input\n\n" + section + "\n"
doc.write_text(text)
print(f"wrote the stress section of {doc}")
PY
exit $failed
