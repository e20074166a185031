#!/usr/bin/env bash
# Velmora Monitor A/S Jig: the set-up commands.
#   ./run.sh        build and start the program on the virtual bench
#   ./run.sh test   build and run every test (normal, ASan+UBSan, fuzzing)
#   ./run.sh package  build the Debian package from debian/ and check it with
#                   lintian (build-package/velmora-jig_*.deb)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    clang libclang-rt-14-dev
    fonts-dejavu-core xvfb xauth
    dpkg-dev file desktop-file-utils groff-base appstream ccache
    umockdev libumockdev-dev
    libxcvt-dev libxrandr-dev libx11-dev xcvt x11-xserver-utils openbox xdotool imagemagick
)
# What `./run.sh package` needs beside them: the Debian package's build
# dependencies (debian/control) and its checker.
PACKAGE_TOOLS=(debhelper lintian)

# ensure_packages [PACKAGES...]: installs those of PACKAGES and the given
# ones that are missing.
ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

JOBS=$(nproc 2>/dev/null || echo 2)

# configure_and_build DIR [cmake options...]: an optimised build unless the
# options say otherwise. The libraries are compiled as unity builds, which
# saves parsing the same headers file after file.
configure_and_build() {
    local dir=$1; shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
        -DCMAKE_UNITY_BUILD=ON -DVELMORA_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}

# The sanitizer build uses clang, so the code is compiled, warnings as
# errors, by both compilers; unoptimised with line tables, it compiles fast
# and its reports still name file and line.
SANITIZED=(-DCMAKE_CXX_COMPILER=clang++ -DVELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
           "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -gline-tables-only")

run_tests() {
    local dir=$1
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

# Each file of the programs compiled on its own, as a distribution builds
# them: a unity build lets one file lean on the includes of the file before
# it. Default flags (no optimisation: the point is what compiles, and it is
# the cheapest), warnings as errors, no tests; header_check compiles the
# headers that no file of their own includes first. The compiler cache keeps
# its files between runs on this machine.
plain_build() {
    local dir=build-plain launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-jig/ccache}
        export CCACHE_BASEDIR=$ROOT
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_UNITY_BUILD=OFF -DVELMORA_WERROR=ON \
        -DVELMORA_TESTS=OFF "${launcher[@]}" >/dev/null
    cmake --build "$dir" -j "$JOBS" --target all header_check
}

# The Debian package from debian/, built in a copy of the source tree under
# build-package/ so that the tree itself stays clean and the results land
# there (dpkg-buildpackage writes them beside the source folder), then
# checked by lintian, which fails on any error or warning.
debian_package() {
    local out=$ROOT/build-package
    rm -rf "$out"
    mkdir -p "$out/velmora-jig"
    tar -C "$ROOT" --exclude=./.git --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$out/velmora-jig" -xf -
    (cd "$out/velmora-jig" && dpkg-buildpackage -b -us -uc -j"$JOBS")
    lintian --fail-on error,warning --info "$out"/velmora-jig_*.changes
    ls "$out"/*.deb
}

# Every fuzz target (build-fuzz/bin/fuzz_<name>) runs from its seed corpus
# tests/fuzz/corpus/<name>/ for FUZZ_SECONDS (default 15) seconds, as many
# side by side as there are cores; the targets and the code under them carry
# ASan and UBSan, and a finding stops the run. tests/fuzz/run_long.sh runs them for longer.
fuzz() {
    local dir=build-fuzz
    configure_and_build "$dir" -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON
    "$ROOT"/tests/fuzz/run_all.sh "$dir" "${FUZZ_SECONDS:-15}" "$JOBS"
}

case "${1:-}" in
    package) ensure_packages "${PACKAGE_TOOLS[@]}" ;;
    *) ensure_packages ;;
esac

case "${1:-}" in
    test)
        configure_and_build build
        run_tests build
        plain_build
        configure_and_build build-asan "${SANITIZED[@]}"
        ASAN_OPTIONS=detect_leaks=1 run_tests build-asan
        fuzz
        echo "All tests passed."
        ;;
    package)
        debian_package
        ;;
    "")
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            echo "No display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); run it under a virtual one: xvfb-run ./run.sh" >&2
            exit 1
        fi
        configure_and_build build
        exec build/bin/velmora-jig-bench
        ;;
    *)
        echo "usage: ./run.sh [test|package]" >&2
        exit 2
        ;;
esac
