#!/usr/bin/env bash
# Builds the service console and saves screenshots of its windows, driven
# on the virtual bench as velmora-jig-bench runs it:
#   tests/screenshots/take_screenshots.sh [OUTPUT_DIRECTORY]
# Default output: build/screenshots. Runs on the offscreen platform; with
# USE_XVFB=1 it runs under a virtual X server instead.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-build/screenshots}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target console_screenshots tool_window_shots
if [ "${USE_XVFB:-0}" = 1 ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/console_screenshots "$out"
    xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/tool_window_shots "$out"
else
    QT_QPA_PLATFORM=offscreen build/bin/console_screenshots "$out"
    QT_QPA_PLATFORM=offscreen build/bin/tool_window_shots "$out"
fi
