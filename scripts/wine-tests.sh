#!/usr/bin/env bash
# Builds the Windows program and its test suites (scripts/windows-build.sh) and proves them under Wine,
# headless, in throw-away Wine prefixes: every suite twice, in the C locale (code page 1252) and in the
# Persian one (code page 1256, that of the machines the scheduler serves), then the end-to-end run of the
# real zorScheduler.exe on an X display of its own (scripts/wine-e2e.sh).
#   scripts/wine-tests.sh [build folder]      default: build-win beside the sources
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build-win}
jobs=${ZOR_JOBS:-$(nproc)}

seconds() { date +%s; }
begin=$(seconds)
zip=$("$source_dir/scripts/windows-build.sh" "$build_dir")
built=$(seconds)
echo "-- Windows build: $((built - begin)) s; $(basename "$zip"): $(stat -c %s "$zip") bytes"

# No display, and a prefix of our own that goes away.
source "$source_dir/scripts/wine.sh"
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d "${TMPDIR:-/tmp}/zor-wine.XXXXXX")
trap 'wine_end; rm -rf "$work"' EXIT
wine_prefix "$work"

# Wine takes the system's code page from the locale's name; the suites leave LC_ALL to this script.
for locale in C.UTF-8 fa_IR.UTF-8; do
    echo "-- The suites under Wine, in the $locale locale"
    LC_ALL=$locale ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
done
wine_end
suites=$(seconds)
echo "-- Suites under Wine: $((suites - built)) s"

echo "-- The real program under Wine, with its window"
"$source_dir/scripts/wine-e2e.sh" "$build_dir"
echo "-- End-to-end run: $(($(seconds) - suites)) s"
