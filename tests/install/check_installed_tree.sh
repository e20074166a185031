#!/usr/bin/env bash
# check_installed_tree.sh BUILD_DIR: installs the build into a temporary
# staging root under /usr and checks the result as a distribution would.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr

for path in bin/velmora-jigctl bin/velmora-mdl share/velmora-jig/models/vm1995pro.mdl \
            share/man/man1/velmora-jigctl.1 share/bash-completion/completions/velmora-jigctl \
            share/bash-completion/completions/velmora-mdl \
            share/doc/velmora-jig/copyright share/doc/velmora-jig/README.md \
            lib/udev/rules.d/70-velmora-jig-i2c.rules; do
    [ -e "$usr/$path" ] || fail "$path is not installed"
done
if ls "$usr"/bin/*.mdl >/dev/null 2>&1; then fail "models installed beside the programs"; fi

# The staged program finds the staged models by name, whatever the user has.
out=$(HOME=/nonexistent XDG_DATA_HOME= "$usr/bin/velmora-jigctl" --bench --model vm1995pro read-vcp 20)
[ "$out" = "VCP 20: current 128 (80h), maximum 255 (FFh)  Horizontal Position (Phase)" ] || fail "staged velmora-jigctl said: $out"

if [ -d "$usr/share/applications" ] && command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop entries do not validate"
fi
# The AppStream metadata (with the windows) validates, and the desktop entry
# it names as launchable is installed beside it.
if [ -d "$usr/share/applications" ]; then
    [ -e "$usr/share/metainfo/dk.velmora.VelmoraJig.metainfo.xml" ] || fail "the AppStream metadata is not installed"
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate-tree --no-net "$stage" || fail "the AppStream metadata does not validate"
    fi
fi
if command -v groff >/dev/null; then
    for page in "$usr"/share/man/man1/*.1; do
        warnings=$(cd "$usr/share/man" && LC_ALL=C.UTF-8 groff -man -ww -Tutf8 "man1/${page##*/}" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "${page##*/}: $warnings"
    done
fi
echo "installed tree is sound"
