#!/usr/bin/env bash
# check_debian_package.sh BUILD_DIR: builds the Debian package from the build
# tree with cpack into a temporary folder and checks what a distribution
# would: under /usr, the programs and models inside, and the Qt 6 libraries
# among the computed dependencies. Skipped (77) without dpkg-shlibdeps.
set -euo pipefail
build=$1
command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-shlibdeps (dpkg-dev) is not installed"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null || fail "cpack failed"
deb=$(ls "$out"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"
info=$(dpkg-deb -f "$deb" Package Depends)
grep -q '^Package: velmora-jig$' <<<"$info" || fail "package name: $info"
grep -q 'libqt6widgets6' <<<"$info" || fail "Qt 6 Widgets missing from Depends: $info"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/velmora-jig ./usr/bin/velmora-jigctl ./usr/share/velmora-jig/models/vm1995pro.mdl \
            ./usr/share/applications/velmora-jig.desktop; do
    grep -qxF "$path" <<<"$contents" || fail "$path is not in the package"
done
echo "package $(basename "$deb") is sound"
