#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (build/fuzz) and runs each in turn for the given
# number of seconds (30 when none is given), starting from its seed corpus in fuzz/corpus/. New inputs
# found along the way go to build/fuzz/corpus/, so a later run starts where this one stopped; an input
# that breaks a rule is kept in build/fuzz/findings/ and fails the run.
#
#   scripts/fuzz.sh        # about 30 s a target, as CI runs it
#   scripts/fuzz.sh 1800   # half an hour a target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
passed=0
failed=0
for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] && [ -f "$target" ] || continue
    name="$(basename "$target")"
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    log="build/fuzz/$name.log"
    # A target's own libFuzzer options, such as a tighter allocation limit, are in fuzz/<name>.options.
    options=()
    [ -f "fuzz/$name.options" ] && read -r -a options <"fuzz/$name.options"
    # The seed corpus is read, never written: new inputs go to the build's own corpus folder.
    if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "${options[@]}" -artifact_prefix="$findings/$name-" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        echo "$name: ${runs:-?} runs in ${seconds} s, no finding"
        passed=$((passed + 1))
    else
        echo "$name: FAILED, see $log and $findings"
        grep -E "rule broken|ERROR|SUMMARY|Test unit written" "$log" | head -n 10 || true
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
