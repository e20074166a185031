#!/usr/bin/env bash
# Velmora Monitor A/S Jig: the set-up commands.
#   ./run.sh        build and start the program on the virtual bench
#   ./run.sh test   build and run every test (normal, ASan+UBSan, fuzzing)
#   ./run.sh package  build the Debian package (build-package/velmora-jig_*.deb)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    clang libclang-rt-14-dev
    fonts-dejavu-core xvfb xauth
    dpkg-dev file desktop-file-utils groff-base
    umockdev libumockdev-dev
)

ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
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

# Every fuzz target (build-fuzz/bin/fuzz_<name>) runs from its seed corpus
# tests/fuzz/corpus/<name>/ for FUZZ_SECONDS (default 25) seconds; the
# targets and the code under them carry ASan and UBSan, and a finding stops
# the run. tests/fuzz/run_long.sh runs them for longer.
fuzz() {
    local dir=build-fuzz
    configure_and_build "$dir" -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON
    "$ROOT"/tests/fuzz/run_all.sh "$dir" "${FUZZ_SECONDS:-25}"
}

ensure_packages

case "${1:-}" in
    test)
        configure_and_build build
        run_tests build
        configure_and_build build-asan "${SANITIZED[@]}"
        ASAN_OPTIONS=detect_leaks=1 run_tests build-asan
        fuzz
        echo "All tests passed."
        ;;
    package)
        # cpack computes the package's library dependencies with
        # dpkg-shlibdeps (dpkg-dev), which finds the programs with file(1).
        configure_and_build build-package -DVELMORA_TESTS=OFF -DVELMORA_DEBIAN_DOCS=ON
        (cd build-package && cpack -G DEB)
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
