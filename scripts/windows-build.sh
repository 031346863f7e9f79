#!/usr/bin/env bash
# Builds the scheduler for 64-bit Windows on this Debian machine: zorScheduler.exe (a GUI program, statically
# linked, with its icon and the project's version), the test suites, and the zip of the program to unpack
# beside Velmora.exe. Qt for Windows comes from scripts/windows-qt.sh, built once per machine.
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
# The zip is named after the project's version; CPack says where it went.
made=$(cd "$build_dir" && cpack -G ZIP)
echo "$made" >&2
zip=$(sed -n -E 's/^CPack: - package: (.*) generated\.$/\1/p' <<<"$made")
[ -f "$zip" ] || {
    echo "windows-build: CPack named no zip" >&2
    exit 1
}
echo "$zip"
