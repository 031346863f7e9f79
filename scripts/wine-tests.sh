#!/usr/bin/env bash
# Builds the Qt-free platform layer (launcher, text-file service) and its tests for 64-bit Windows with
# mingw-w64, and runs the tests under Wine, headless, in a throw-away Wine prefix.
#   scripts/wine-tests.sh [build folder]      default: build-win beside the sources
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build-win}
jobs=${ZOR_JOBS:-$(nproc)}

wine=$(command -v wine64 || true)
[ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
[ -z "$wine" ] && wine=$(command -v wine || true)
for tool in x86_64-w64-mingw32-g++-posix cmake ninja "$wine"; do
    if [ -z "$tool" ] || ! command -v "$tool" >/dev/null; then
        echo "wine-tests: missing ${tool:-wine}; scripts/setup.sh test installs it" >&2
        exit 1
    fi
done

cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
    -DZOR_WITH_QT=OFF -DZOR_WERROR=ON -DZOR_BUILD_BENCHMARKS=OFF
cmake --build "$build_dir" -j "$jobs"

# No display, no debug channels, no offer to install Mono or Gecko, and a prefix of our own that goes away.
unset DISPLAY WAYLAND_DISPLAY
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
prefix_root=$(mktemp -d "${TMPDIR:-/tmp}/zor-wine.XXXXXX")
export WINEPREFIX=$prefix_root/prefix
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$prefix_root"
}
trap cleanup EXIT

# Creating the prefix takes a while; done once here, so that no test's time limit pays for it.
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w

ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"

# Once more in the Persian locale, where Windows' ANSI code page is Windows-1256, that of the machines the
# scheduler serves; Wine takes the code page from the locale's name.
echo "-- The same suites with the system code page of a Persian Windows"
LC_ALL=fa_IR.UTF-8 ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
