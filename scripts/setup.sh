#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for zorScheduler, with apt-get (through sudo when not root).
#   scripts/setup.sh run    what building and running the scheduler needs
#   scripts/setup.sh test   that, plus what the tests, the format check and the Windows suite under Wine need
set -euo pipefail

purpose=${1:-run}

# fonts-noto-core covers the Arabic script; fonts-liberation gives the narrow face the captions were measured for.
packages=(cmake ninja-build g++ qt6-base-dev libgl-dev fonts-noto-core fonts-liberation)
if [ "$purpose" = test ]; then
    packages+=(clang-format libbenchmark-dev g++-mingw-w64-x86-64-posix wine64 wine)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
