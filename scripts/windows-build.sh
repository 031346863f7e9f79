#!/usr/bin/env bash
# Builds the scheduler for 64-bit Windows on this Debian machine: zorScheduler.exe (a GUI program, statically
# linked, with its icon and version 1.0.0.5), the test suites, and zorScheduler-1.0.5-win64.zip, the program
# to unpack beside Velmora.exe. Qt for Windows comes from scripts/windows-qt.sh, built once per machine.
#   scripts/windows-build.sh [build folder]     default: build-win beside the sources; prints the zip's path
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build-win}
jobs=${ZOR_JOBS:-$(nproc)}

"$source_dir/scripts/setup.sh" windows >&2
qt=$("$source_dir/scripts/windows-qt.sh")
toolchain=$qt/lib/cmake/Qt6/qt.toolchain.cmake

# A build folder configured against another Qt (an older recipe) starts afresh.
fresh=()
if [ -f "$build_dir/CMakeCache.txt" ] &&
    ! grep -q -E "^CMAKE_TOOLCHAIN_FILE:[A-Z]+=$toolchain\$" "$build_dir/CMakeCache.txt"; then
    fresh=(--fresh)
fi
# The windows preset: Qt's toolchain file finds the Windows Qt and hands on to the project's own for the
# compilers.
(cd "$source_dir" && ZOR_WINDOWS_QT=$qt cmake "${fresh[@]}" --preset windows -B "$build_dir") >&2
cmake --build "$build_dir" -j "$jobs" >&2
(cd "$build_dir" && cpack -G ZIP >&2)
echo "$build_dir/zorScheduler-1.0.5-win64.zip"
