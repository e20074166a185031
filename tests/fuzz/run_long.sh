#!/usr/bin/env bash
# run_long.sh MINUTES: builds the fuzz targets (build-fuzz, clang, ASan and
# UBSan) and runs each for MINUTES minutes from its seed corpus, for a
# machine that can spare the time. A finding stops the run and leaves its
# input in the current directory; add it to tests/fuzz/corpus/<name>/ once
# fixed.
set -euo pipefail
minutes=${1:?usage: tests/fuzz/run_long.sh MINUTES}
case "$minutes" in ''|*[!0-9]*) echo "MINUTES must be a whole number" >&2; exit 2 ;; esac
root="$(cd "$(dirname "$0")/../.." && pwd)"
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
    -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON >/dev/null
cmake --build "$root/build-fuzz" -j "$(nproc 2>/dev/null || echo 2)"
"$root/tests/fuzz/run_all.sh" "$root/build-fuzz" "$((minutes * 60))" "$(nproc 2>/dev/null || echo 2)"
