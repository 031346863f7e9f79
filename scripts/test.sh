#!/usr/bin/env bash
# Checks the include graph between the layers; then, in a fresh Debian 12 root that holds only what
# scripts/setup.sh installs, builds zorScheduler with warnings as errors, runs every test, checks the formatting
# and runs the tests again under AddressSanitizer and UndefinedBehaviorSanitizer, the suites that start threads
# under ThreadSanitizer, and fails the program's file system calls one at a time; then builds the Windows program
# (and, once per machine, the Qt it links) and proves it under Wine: its suites in two code pages and an
# end-to-end run; reads the hardening back from both programs; last, the window of both programs at every scale.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

echo "== Include graph between the layers"
scripts/include-graph.sh

echo "== The set-up on a fresh Debian 12 root, and the Linux program's build and suites in it"
scripts/fresh-machine.sh scripts/native-tests.sh

echo "== The Windows program under Wine"
scripts/wine-tests.sh

echo "== The hardening of both programs"
scripts/hardening-check.sh build build-win

echo "== The window at every scale, under Wine and on Linux"
scripts/window-scales.sh build-win build
