#!/usr/bin/env bash
# The Linux program's part of the test command: builds zorScheduler with warnings as errors, runs every suite,
# checks the formatting, then builds and runs the suites again under AddressSanitizer and
# UndefinedBehaviorSanitizer. scripts/test.sh runs it in a fresh Debian 12 root (scripts/fresh-machine.sh); on
# its own it runs on this machine as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${ZOR_JOBS:-$(nproc)}

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
