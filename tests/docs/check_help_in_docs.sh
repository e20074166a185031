#!/usr/bin/env bash
# check_help_in_docs.sh PROGRAM MAN_PAGE COMPLETION
# Every option (--name) and every command (the first word of each line of
# its "Commands:" section) that PROGRAM --help lists must be in the program's
# man page and in its bash completion, so that neither falls behind the
# program. --help and --version must answer on standard output with status
# 0 (without a display: the test runs with none), and the man page must
# carry the version --version gives.
set -uo pipefail
program=$1
man_page=$2
completion=$3
name=${program##*/}
failures=0
fail() { echo "FAIL: $name: $*" >&2; failures=$((failures + 1)); }

help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help 2>/tmp/velmora-docs-err.$$)
status=$?
err=$(cat /tmp/velmora-docs-err.$$)
rm -f /tmp/velmora-docs-err.$$
[ "$status" -eq 0 ] || fail "--help exits with $status"
[ -z "$err" ] || fail "--help writes to standard error: $err"
[ -n "$help" ] || { fail "--help prints nothing"; exit 1; }

version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version 2>/dev/null)
[ $? -eq 0 ] || fail "--version does not exit with 0"
number=${version##* }
[[ $version == "$name "[0-9]* ]] || fail "--version prints '$version', not '$name VERSION'"

# The man page as text: "\-" is a hyphen, font changes are dropped.
man_text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\f(..//g' "$man_page")
grep -q "^\.TH .*\"velmora-jig $number\"" <<<"$man_text" ||
    fail "$man_page does not carry version $number in its .TH line"

options=$(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u)
commands=$(awk '/^Commands:/ { inside = 1; next } inside && /^$/ { inside = 0 }
                inside && /^  [a-z]/ { print $1 }' <<<"$help" | sort -u)
[ -n "$options" ] || fail "--help lists no option"

completion_text=
if [ "$completion" != "-" ]; then
    completion_text=$(cat "$completion") || fail "no completion $completion"
fi

for option in $options; do
    grep -qE -- "(^|[^a-z0-9-])$option([^a-z0-9-]|$)" <<<"$man_text" || fail "$option is not in $man_page"
    if [ "$completion" != "-" ]; then
        grep -qE -- "(^|[[:space:]\"'(|])$option([[:space:]\"')|=]|$)" <<<"$completion_text" ||
            fail "$option is not in the completion $completion"
    fi
done
for command in $commands; do
    # A command has an entry of its own: a font macro line that begins with it.
    grep -qE "^\.(B|BI|BR|IB|IR)[[:space:]]+\"?$command([[:space:]\"]|$)" <<<"$man_text" ||
        fail "command $command has no entry in $man_page"
    if [ "$completion" != "-" ]; then
        grep -qE -- "(^|[[:space:]\"'(|])$command([[:space:]\"')|]|$)" <<<"$completion_text" ||
            fail "command $command is not in the completion $completion"
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "$name: $(wc -w <<<"$options") options and $(wc -w <<<"$commands") commands of --help are documented"
