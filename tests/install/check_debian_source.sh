#!/usr/bin/env bash
# check_debian_source.sh SOURCE_DIR VERSION: the Debian source package says
# what the project says: debian/changelog and debian/copyright are the ones
# the installed tree carries (dist/), and the version is the project's.
set -euo pipefail
source=$1
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

for file in changelog copyright; do
    cmp -s "$source/debian/$file" "$source/dist/$file" || fail "debian/$file differs from dist/$file"
done
first=$(head -n 1 "$source/debian/changelog")
[[ $first =~ ^velmora-jig\ \(([^\)]+)\) ]] || fail "debian/changelog begins: $first"
[ "${BASH_REMATCH[1]}" = "$version" ] || fail "debian/changelog has version ${BASH_REMATCH[1]}, the project $version"
echo "debian/ agrees with the project"
