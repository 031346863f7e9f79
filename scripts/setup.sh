#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for zorScheduler, with apt-get (through sudo when not root).
#   scripts/setup.sh run       what building and running the scheduler needs
#   scripts/setup.sh windows   what the Windows build needs (scripts/windows-build.sh): mingw-w64, the source
#                              package tools that build Qt for Windows, and Wine to run what it builds
#   scripts/setup.sh test      all of that, plus the format check, the benchmarks, strace (which holds or
#                              signals the program at a chosen moment of its start) and the end-to-end run
#                              under Wine (an X server of its own, xdotool, the tools for its pictures)
set -euo pipefail

purpose=${1:-run}

# fonts-noto-core covers the Arabic script; fonts-liberation gives the narrow face the captions were measured for.
# qt6-base-private-dev: Qt's own high-DPI scaling, which shrinks the program's scale on a screen too small for
# the window.
packages=(cmake ninja-build g++ pkg-config libsystemd-dev qt6-base-dev qt6-base-private-dev libgl-dev fonts-noto-core
    fonts-liberation)
windows=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev patch xz-utils wine64 wine)
case $purpose in
run) ;;
windows) packages+=("${windows[@]}") ;;
test) packages+=("${windows[@]}" binutils clang-format libbenchmark-dev xvfb xdotool x11-apps netpbm locales strace mmdebstrap) ;;
*)
    echo "setup: run, windows or test" >&2
    exit 2
    ;;
esac

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The end-to-end run under Wine is a Persian operator's: the locale must exist for Wine to read its texts.
if [ "$purpose" = test ] && ! locale -a 2>/dev/null | grep -q -i '^fa_IR\.utf-\?8$'; then
    echo "Generating the fa_IR.UTF-8 locale"
    "${sudo[@]}" localedef -i fa_IR -c -f UTF-8 fa_IR.UTF-8
fi
