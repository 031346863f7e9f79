#!/usr/bin/env bash
# Checks the include graph between the layers, builds zorScheduler with warnings as errors, runs every test,
# checks the formatting, runs the tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then
# builds the Windows program (and, once per machine, the Qt it links) and proves it under Wine: its suites in
# two code pages and an end-to-end run; last, the window of both programs at every scale.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

jobs=$(nproc)

echo "== Include graph between the layers"
scripts/include-graph.sh

# The presets are CMakePresets.json's: dev, sanitize and windows.
echo "== Build (warnings are errors)"
cmake --preset dev
cmake --build --preset dev -j "$jobs"

echo "== Tests"
ctest --preset dev -j "$jobs"

echo "== Formatting"
cmake --build --preset dev --target check-format

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

echo "== The Windows program under Wine"
scripts/wine-tests.sh

echo "== The window at every scale, under Wine and on Linux"
scripts/window-scales.sh build-win build
