#!/usr/bin/env bash
# run_all.sh BUILD_DIR SECONDS: runs every fuzz target BUILD_DIR/bin/fuzz_<name>
# for SECONDS seconds from its seed corpus tests/fuzz/corpus/<name>/ (new
# inputs go to a scratch copy, so the corpus in the tree stays small). Stops
# at the first target that finds something; the input that did is left in
# the current directory (crash-*, leak-*, timeout-*).
set -euo pipefail
dir=$1
seconds=$2
corpora="$(cd "$(dirname "$0")" && pwd)/corpus"
targets=("$dir"/bin/fuzz_*)
[ -e "${targets[0]}" ] || { echo "no fuzz targets in $dir/bin" >&2; exit 1; }
for target in "${targets[@]}"; do
    name=$(basename "$target")
    name=${name#fuzz_}
    scratch=$(mktemp -d)
    if [ -d "$corpora/$name" ]; then cp -r "$corpora/$name"/. "$scratch"/; fi
    echo "Fuzzing $name for $seconds seconds"
    log=$(mktemp)
    status=0
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 "$scratch" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log"
    else
        grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$log" || true
    fi
    rm -f "$log"
    rm -rf "$scratch"
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$name found a fault (exit status $status)" >&2
        exit "$status"
    fi
done
