#!/usr/bin/env bash
# Builds zorScheduler with warnings as errors, runs every test, checks the formatting, runs the tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then builds the Windows program (and, once per
# machine, the Qt it links) and proves it under Wine: its suites in two code pages and an end-to-end run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

jobs=$(nproc)

echo "== Build (warnings are errors)"
cmake -S . -B build -G Ninja -DZOR_WERROR=ON
cmake --build build -j "$jobs"

echo "== Tests"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Formatting"
cmake --build build --target check-format

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DZOR_WERROR=ON -DZOR_SANITIZE=ON -DZOR_BUILD_BENCHMARKS=OFF \
    -DCMAKE_BUILD_TYPE=Debug
cmake --build build-sanitize -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== The Windows program under Wine"
scripts/wine-tests.sh
