#!/usr/bin/env bash
# Builds the service console and saves screenshots of its windows, driven
# on the virtual bench as velmora-jig-bench runs it:
#   tests/screenshots/take_screenshots.sh [OUTPUT_DIRECTORY]
# Default output: build-screenshots/screenshots. It builds in a folder of its
# own (build-screenshots), so the test builds' settings stay as they are.
# Runs on the offscreen platform; with USE_XVFB=1 under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=build-screenshots
out=${1:-$dir/screenshots}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" --target console_screenshots tool_window_shots
if [ "${USE_XVFB:-0}" = 1 ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$dir"/bin/console_screenshots "$out"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$dir"/bin/tool_window_shots "$out"
else
    QT_QPA_PLATFORM=offscreen "$dir"/bin/console_screenshots "$out"
    QT_QPA_PLATFORM=offscreen "$dir"/bin/tool_window_shots "$out"
fi
