#!/bin/bash
# Deep fuzzing of every text parser, kept out of CI: each libFuzzer target of the host tree runs
# for a number of executions (10 million unless told) over its checked-in seeds and a corpus
# that grows under build/fuzz-long/, one target after another. Prints one Markdown table row
# per target (executions, seconds, edges covered, features, corpus, crashes); crash inputs are
# left as build/fuzz-long/<target>-crash-* for turning into regression seeds in tests/fuzz/corpus.
#
# Usage: tools/fuzz-long.sh [executions] [target...]
# FUZZ_MAX_SECONDS=n also ends each target after n seconds (for a busy machine); the table then
# shows how many executions it reached.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs="${1:-10000000}"
[ $# -gt 0 ] && shift
# What each target reads: settings text, base settings resources, command lines, version
# strings and PE headers, VM parameter lists (with the code-page path fallback), memory values,
# date-and-time patterns.
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(ini_parser_fuzz base_text_fuzz command_line_fuzz jre_fuzz vm_parameters_fuzz
             memory_options_fuzz timestamp_pattern_fuzz link_color_fuzz)
fi

[ -f "$root/build/host/build.ninja" ] || bash "$root/tools/build.sh"
cmake --build "$root/build/host" --target "${targets[@]}" >&2

out="$root/build/fuzz-long"
mkdir -p "$out"
echo "| target | executions | seconds | edges | features | corpus | crashes |"
echo "|---|---:|---:|---:|---:|---:|---:|"
status=0
for target in "${targets[@]}"; do
    binary=$(find "$root/build/host/tests" -name "$target" -type f -perm -u+x | head -n1)
    [ -n "$binary" ] || { echo "no fuzzer named $target" >&2; status=1; continue; }
    corpus="$out/$target"
    mkdir -p "$corpus"
    seeds=()
    [ -d "$root/tests/fuzz/corpus/$target" ] && seeds=("$root/tests/fuzz/corpus/$target")
    log="$out/$target.log"
    started=$(date +%s)
    if ! "$binary" -runs="$runs" -max_total_time="${FUZZ_MAX_SECONDS:-0}" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$out/$target-" -print_final_stats=1 "$corpus" "${seeds[@]}" \
        >"$log" 2>&1; then
        status=1
    fi
    seconds=$(($(date +%s) - started))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
    last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n1 || true)
    edges=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    units=$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$last")
    crashes=$(find "$out" -maxdepth 1 -name "$target-*" -type f | wc -l)
    echo "| $target | ${executions:-?} | $seconds | ${edges:-?} | ${features:-?} | ${units:-?} | $crashes |"
done
exit $status
