#!/usr/bin/env bash
# Runs every fuzzer for a long while and publishes what the runs did: executions, executions a
# second, coverage edges, corpus size and findings, as the fuzzing table of docs/reliability.md.
#
#   scripts/fuzz-long.sh [SECONDS [JOBS]]   # SECONDS for each fuzzer, 600 when not given;
#                                           # JOBS fuzzers at once, 1 when not given
#   CORVANE_FUZZERS="a b" scripts/fuzz-long.sh  # only fuzzers a_fuzzer and b_fuzzer, say after a
#                                           # fix; the others' rows are kept as they stand
#
# Every fuzzer has a seed corpus fuzz/corpus/NAME/ (its program is NAME_fuzzer); each runs on a
# copy of its corpus, so the seeds in the repository stay as they are. A fuzzer keeps to one
# core, so up to one job a core runs them side by side without one's figures depending on
# another's. The fuzzers come from the clang build folder build-fuzz/ (CORVANE_FUZZ_BUILD_DIR
# names another), configured as CI does and brought up to date first. Only the part of the
# document between its fuzzing markers is written; the rest belongs to other sections. Exits 1
# when a fuzzer found something, after writing the table, and leaves what it found in a folder
# it names.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
jobs="${2:-1}"
for number in "$seconds" "$jobs"; do
    case "$number" in
        '' | *[!0-9]* | 0) echo "usage: scripts/fuzz-long.sh [SECONDS [JOBS]]" >&2; exit 2 ;;
    esac
done
if [ "$jobs" -gt "$(nproc)" ]; then
    echo "fuzz-long: $jobs jobs on $(nproc) cores would share them; give at most $(nproc)" >&2
    exit 2
fi
build="${CORVANE_FUZZ_BUILD_DIR:-$here/build-fuzz}"
doc="$here/docs/reliability.md"
begin='<!-- fuzzing:begin -->'
end='<!-- fuzzing:end -->'

only=" ${CORVANE_FUZZERS:-} "
fuzzers=()
for corpus in "$here"/fuzz/corpus/*/; do
    name="$(basename "$corpus")"
    if [ "$only" != "  " ] && [[ "$only" != *" $name "* ]]; then continue; fi
    fuzzers+=("${name}_fuzzer")
done
if [ ${#fuzzers[@]} -eq 0 ]; then
    echo "fuzz-long: no fuzzer is called${only% } (see fuzz/corpus/)" >&2
    exit 2
fi

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_FUZZ=ON -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${fuzzers[@]}" >/dev/null

work="$(mktemp -d)"

# The number of the last "KEY: N" that libFuzzer printed in log $1 for KEY $2, "?" for none.
last_figure() {
    local value
    value="$(grep -oE "(^|[ :])$2: *[0-9]+" "$1" | tail -n 1 | grep -oE '[0-9]+$' || true)"
    echo "${value:-?}"
}

# Runs fuzzer $1 for $seconds seconds and adds its row to the table.
run_one() {
    local fuzzer="$1" name="${1%_fuzzer}"
    local corpus="$work/$name/corpus" artifacts="$work/$name/findings/" log="$work/$name/log"
    mkdir -p "$corpus" "$artifacts"
    cp -r "$here/fuzz/corpus/$name/." "$corpus/"
    echo "-- $fuzzer for ${seconds}s" >&2
    # A finding ends the run early; its figures are kept all the same.
    "$build/fuzz/$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" \
        >"$log" 2>&1 || true
    local executions rate coverage files findings
    executions="$(last_figure "$log" 'stat::number_of_executed_units')"
    rate="$(last_figure "$log" 'stat::average_exec_per_sec')"
    coverage="$(last_figure "$log" 'cov')"
    files="$(find "$corpus" -type f | wc -l)"
    findings="$(find "$artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' \
        -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)"
    echo "| \`$fuzzer\` | $executions | $rate | $coverage | $files | $findings |" >>"$work/rows"
}

running=0
for fuzzer in "${fuzzers[@]}"; do
    run_one "$fuzzer" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait
found=0
if [ -n "$(find "$work" -path '*/findings/*' -type f -print -quit)" ]; then found=1; fi

model="$(lscpu | sed -n 's/^Model name: *//p' | head -n 1)"
section="$work/section.md"
if [ "$only" != "  " ] && grep -qF "$begin" "$doc"; then
    # Only some fuzzers ran: the section as it stands, with their rows replaced and a line saying
    # which rows are newer (in place of such a line from an earlier partial run).
    awk -v begin="$begin" -v end="$end" '
        $0 == begin { inside = 1; next }
        $0 == end { inside = 0 }
        inside { print }
    ' "$doc" >"$work/old"
    for fuzzer in "${fuzzers[@]}"; do
        grep -vF "| \`$fuzzer\` |" "$work/old" >"$work/kept" || true
        mv "$work/kept" "$work/old"
    done
    grep -E '^\| `' "$work/old" >>"$work/rows" || true
    {
        echo "$begin"
        grep -vE '^\| `|^Rows run again' "$work/old" | sed -e '$ { /^$/d }'
        sort "$work/rows"
        echo
        echo "Rows run again alone, after a fix, for $seconds seconds each on $(date -u +%Y-%m-%d): ${fuzzers[*]} (\`CORVANE_FUZZERS=\"${only:1:-1}\" scripts/fuzz-long.sh $seconds\`)."
        echo "$end"
    } >"$section"
else
{
    echo "$begin"
    if [ "$jobs" -eq 1 ]; then
        echo "Each fuzzer ran for $seconds seconds on a copy of its seed corpus, one after another, on"
    else
        echo "Each fuzzer ran for $seconds seconds on a copy of its seed corpus, $jobs at a time, on"
    fi
    echo "$(nproc) cores of ${model:-an unnamed processor}, on $(date -u +%Y-%m-%d)."
    echo "Executions and executions a second are libFuzzer's final statistics; coverage is the"
    echo "number of edges it had reached at the end (\`cov:\`); corpus is the number of inputs the"
    echo "corpus held afterwards, seeds included; findings counts the crash, leak, timeout and"
    echo "out-of-memory inputs it kept (a fuzzer stops at its first). To regenerate this table:"
    echo
    echo '```sh'
    if [ "$jobs" -eq 1 ]; then echo "scripts/fuzz-long.sh $seconds"; else echo "scripts/fuzz-long.sh $seconds $jobs"; fi
    echo '```'
    echo
    if [ "$seconds" != 600 ]; then
        echo "These figures come from ${seconds}-second runs; \`scripts/fuzz-long.sh 600\` (the"
        echo "default) gives each fuzzer ten minutes."
        echo
    fi
    echo "| fuzzer | executions | executions/s | coverage (edges) | corpus (inputs) | findings |"
    echo "|---|---:|---:|---:|---:|---:|"
    sort "$work/rows"
    echo "$end"
} >"$section"
fi

mkdir -p "$(dirname "$doc")"
if [ ! -f "$doc" ]; then
    cat >"$doc" <<'INTRO'
# Reliability

How Corvane is checked beyond its tests: what is measured, on what machine, and the command that
measures it again. Each section is written by its own script between its own markers.
INTRO
fi
if ! grep -qF "$begin" "$doc"; then
    printf '\n## Fuzzing\n\n%s\n%s\n' "$begin" "$end" >>"$doc"
fi
# The document with the lines from the begin marker to the end marker replaced by the section.
awk -v begin="$begin" -v end="$end" -v section="$section" '
    $0 == begin { while ((getline line < section) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0; next }
    !skipping { print }
' "$doc" >"$work/doc.md"
mv "$work/doc.md" "$doc"
echo "fuzz-long: wrote the fuzzing table of docs/reliability.md" >&2

if [ "$found" -ne 0 ]; then
    echo "fuzz-long: a fuzzer found something; the inputs are in $work/*/findings/" >&2
    exit 1
fi
rm -rf "$work"
