#!/usr/bin/env bash
# The Linux program's part of the test command: builds zorScheduler with warnings as errors, runs every suite,
# checks the formatting, builds and runs the suites again under AddressSanitizer and UndefinedBehaviorSanitizer,
# runs the suites that start threads under ThreadSanitizer, and fails the program's file system calls one at a
# time (scripts/io-fault-walk.sh). scripts/test.sh runs it in a fresh Debian 12 root (scripts/fresh-machine.sh); on
# its own it runs on this machine as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${ZOR_JOBS:-$(nproc)}

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
