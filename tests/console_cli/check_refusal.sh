#!/usr/bin/env bash
# check_refusal.sh PROGRAM EXPECTED_LINE ARGUMENT...
# The program, started with these arguments on Qt's offscreen platform, must
# refuse them with status 2 and this line on standard error, and print
# nothing on standard output.
program=$1
expected=$2
shift 2
out=$(QT_QPA_PLATFORM=offscreen "$program" "$@" 2>/tmp/velmora-refusal.$$)
status=$?
err=$(cat /tmp/velmora-refusal.$$)
rm -f /tmp/velmora-refusal.$$
[ "$status" -eq 2 ] || { echo "FAIL: $* exits with $status: $err" >&2; exit 1; }
[ -z "$out" ] || { echo "FAIL: $* prints on standard output: $out" >&2; exit 1; }
grep -qxF -- "$expected" <<<"$err" || { echo "FAIL: $* says: $err" >&2; exit 1; }
