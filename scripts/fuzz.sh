#!/bin/sh
# Runs every fuzz target of a built tree for SECONDS, each from its seeds (copied into a working corpus
# in the tree, which keeps what earlier runs found) with its dictionary from fuzz/ when there is one.
# Fails when any target finds a fault; the input that shows it is kept in BUILD/fuzz/crashes/.
# Usage: scripts/fuzz.sh BUILD SECONDS [TARGET...]   (every target when none is named)
set -eu
build=$1
seconds=$2
shift 2
only=" $* "
dicts=$(cd "$(dirname "$0")/../fuzz" && pwd)
mkdir -p "$build/fuzz/crashes"
failed=""
printf '%-16s %12s  %s\n' target executions result
for seeds in "$build"/fuzz/fuzz_*.seeds; do
    bin=${seeds%.seeds}
    name=$(basename "$bin")
    if [ "$only" != "  " ] && [ "${only#* "$name" }" = "$only" ]; then
        continue
    fi
    corpus=$build/fuzz/corpus/$name
    mkdir -p "$corpus"
    # Named by content, as libFuzzer names what it keeps, so copying the seeds again adds nothing.
    while IFS= read -r seed; do
        if [ -n "$seed" ]; then
            cp "$seed" "$corpus/$(sha1sum <"$seed" | cut -c1-40)"
        fi
    done <"$seeds"
    set -- -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/fuzz/crashes/$name-"
    if [ -f "$dicts/$name.dict" ]; then
        set -- "$@" -dict="$dicts/$name.dict"
    fi
    log=$build/fuzz/$name.log
    result=ok
    if ! "$bin" "$@" "$corpus" >"$log" 2>&1; then
        result=FAILED
        failed="$failed $name"
        tail -n 40 "$log"
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    printf '%-16s %12s  %s\n' "$name" "${executions:-?}" "$result"
done
if [ -n "$failed" ]; then
    echo "Fuzzing found faults in:$failed (logs in $build/fuzz)"
    exit 1
fi
