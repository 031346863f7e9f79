#!/usr/bin/env bash
# Checks the include graph between the layers, builds zorScheduler with warnings as errors, runs every test,
# checks the formatting, runs the tests again under AddressSanitizer and UndefinedBehaviorSanitizer, runs the
# suites that start threads under ThreadSanitizer, fails the program's file system calls one at a time, then
# builds the Windows program (and, once per machine, the Qt it links) and proves it under Wine: its suites in
# two code pages and an end-to-end run; last, the window of both programs at every scale.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

jobs=$(nproc)

echo "== Include graph between the layers"
scripts/include-graph.sh

# The presets are CMakePresets.json's: dev, sanitize, tsan and windows.
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

# The suites that start threads: the system log's, the reaper's and the ends of started programs.
echo "== Tests under ThreadSanitizer"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target SystemLogTest PosixLaunchTest JournalDeliveryTest JobTickTest
ctest --preset tsan -j "$jobs"

echo "== One I/O error at each system call on the journal, the archive's record and the log files"
scripts/io-fault-walk.sh

echo "== The Windows program under Wine"
scripts/wine-tests.sh

echo "== The window at every scale, under Wine and on Linux"
scripts/window-scales.sh build-win build
