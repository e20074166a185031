#!/usr/bin/env bash
# run_all.sh BUILD_DIR SECONDS [JOBS]: runs every fuzz target
# BUILD_DIR/bin/fuzz_<name> for SECONDS seconds from its seed corpus
# tests/fuzz/corpus/<name>/ (new inputs go to a scratch copy, so the corpus in
# the tree stays small), JOBS targets at a time (default 1): each target is
# one process on one core, so on a machine of N cores N of them run side by
# side and each still gets its SECONDS of a whole core. A target that finds
# something stops the run once the targets under way have ended; the input
# that did is left in the current directory (crash-*, leak-*, timeout-*).
set -euo pipefail
dir=$1
seconds=$2
jobs=${3:-1}
corpora="$(cd "$(dirname "$0")" && pwd)/corpus"
targets=("$dir"/bin/fuzz_*)
[ -e "${targets[0]}" ] || { echo "no fuzz targets in $dir/bin" >&2; exit 1; }

# fuzz_one TARGET: runs one target and prints its report in one piece, so
# that targets running side by side do not interleave their lines.
fuzz_one() {
    local target=$1 name scratch log status=0
    name=$(basename "$target")
    name=${name#fuzz_}
    scratch=$(mktemp -d)
    if [ -d "$corpora/$name" ]; then cp -r "$corpora/$name"/. "$scratch"/; fi
    log=$(mktemp)
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 "$scratch" >"$log" 2>&1 || status=$?
    {
        echo "Fuzzed $name for $seconds seconds"
        if [ "$status" -ne 0 ]; then
            tail -n 60 "$log"
            echo "fuzz_$name found a fault (exit status $status)"
        else
            grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$log" || true
        fi
    } >&2
    rm -f "$log"
    rm -rf "$scratch"
    return "$status"
}

failed=0
running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=$?
        running=$((running - 1))
    fi
    [ "$failed" -eq 0 ] || break
    fuzz_one "$target" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || { [ "$failed" -ne 0 ] || failed=$?; }
    running=$((running - 1))
done
exit "$failed"
