#!/usr/bin/env bash
# Draws the window as the operator sees it after start-up and a Start into docs/window.png (or the file
# given), on Qt's offscreen platform: no display needed, and the same picture on every run of one machine.
#   scripts/screenshot.sh [build folder] [picture]     the build folder is configured with the dev preset
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
picture=${2:-docs/window.png}

scripts/setup.sh run
cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target zor_windowshot
QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C.UTF-8 LANG=C.UTF-8 "$build/tests/bin/zor_windowshot" "$picture"
echo "Saved $picture"
