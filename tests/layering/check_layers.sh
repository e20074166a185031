#!/usr/bin/env bash
# check_layers.sh SOURCE_DIR: checks every #include of the program's folders
# against the table in SOURCE_DIR/layers.txt. Each include that reaches a
# folder its own folder may not use is printed as
#     FILE:LINE: FOLDER may not include "PATH" (FOLDER may include: ...)
# and the check fails; so does an exception in the table that no include
# uses any more. Includes are written from the source root ("link/jig_link.h");
# a path climbing out with ".." is refused too.
set -euo pipefail
root=${1:?usage: check_layers.sh SOURCE_DIR}
cd "$root"
table=layers.txt
[ -f "$table" ] || { echo "check_layers.sh: no $root/$table" >&2; exit 2; }

# The folders the table restricts (those not allowed everything).
mapfile -t checked < <(awk -F: '/^[a-z][a-z0-9_-]*:/ && $2 !~ /\*/ { print $1 }' "$table")
[ ${#checked[@]} -gt 0 ] || { echo "check_layers.sh: $table lists no folders" >&2; exit 2; }
for folder in "${checked[@]}"; do
    [ -d "$folder" ] || { echo "check_layers.sh: $table names $folder/, which does not exist" >&2; exit 2; }
done

mapfile -d '' files < <(find "${checked[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print0 | sort -z)
awk '
    FNR == NR {
        sub(/#.*/, "")
        if ($1 == "except" && NF == 3) { exception[$2 " " $3] = 0; next }
        if (match($0, /^[a-z][a-z0-9_-]*:/)) {
            folder = substr($0, 1, RLENGTH - 1)
            known[folder] = 1
            uses[folder] = " " folder " " substr($0, RLENGTH + 1) " "
            gsub(/[ \t]+/, " ", uses[folder])
        }
        next
    }
    /^[ \t]*#[ \t]*include[ \t]*["<]/ {
        line = $0
        sub(/^[ \t]*#[ \t]*include[ \t]*["<]/, "", line)
        sub(/[">].*/, "", line)
        split(FILENAME, part, "/")
        own = part[1]
        if (line ~ /(^|\/)\.\.(\/|$)/) {
            printf "%s:%d: include \"%s\" climbs out of its folder (write it from the source root)\n", FILENAME, FNR, line
            bad++
            next
        }
        if (index(line, "/") == 0) next            # beside the including file
        target = substr(line, 1, index(line, "/") - 1)
        if (!(target in known)) next               # a library header (Qt, nlohmann, ...)
        if (index(uses[own], " " target " ")) next
        if ((FILENAME " " line) in exception) { exception[FILENAME " " line] = 1; next }
        allowed = uses[own]
        gsub(/^ | $/, "", allowed)
        printf "%s:%d: %s may not include \"%s\" (%s may include: %s)\n", FILENAME, FNR, own, line, own, allowed
        bad++
    }
    END {
        for (entry in exception) {
            if (!exception[entry]) {
                printf "layers.txt: no include uses the exception \"%s\" any more: delete it\n", entry
                bad++
            }
        }
        if (bad) { printf "%d include(s) break the layers\n", bad; exit 1 }
    }
' "$table" "${files[@]}"
