#!/usr/bin/env bash
# Builds the Qt that the Windows program links, once per machine: Debian ships no Qt for mingw-w64, so this
# compiles Qt Base from Debian's own source package (the same version as the host's qt6-base-dev, whose moc,
# rcc and uic serve as host tools) for x86_64-w64-mingw32, static, with only what the scheduler and its tests
# use. The result goes to a cache folder outside the clone, named by Qt's version and a hash of this recipe
# (this script and its patches); when that folder is complete, nothing is done.
#   scripts/windows-qt.sh            builds when needed, then prints the Qt folder on standard output
# ZOR_CACHE chooses the cache's root (default: $XDG_CACHE_HOME/zorScheduler, or ~/.cache/zorScheduler).
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
patches_dir=$source_dir/scripts/windows-qt
jobs=${ZOR_JOBS:-$(nproc)}

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# The host's Qt decides the version: its tools generate code for the Windows Qt, so both must agree.
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$version" ]; then
    echo "windows-qt: qt6-base-dev is not installed; scripts/setup.sh test installs it" >&2
    exit 1
fi
upstream=${version%%+*}
upstream=${upstream%%-*}

shopt -s nullglob
patches=("$patches_dir"/*.patch)
recipe_hash=$(cat "$source_dir/scripts/windows-qt.sh" "${patches[@]}" | sha256sum | cut -c1-12)
cache_root=${ZOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorScheduler}
prefix=$cache_root/qt-$upstream-mingw64-static-$recipe_hash

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "windows-qt: $*" >&2; }
log "building Qt $upstream for Windows into $prefix (once per machine; about half an hour on 2 cores)"

# apt-get source needs a deb-src entry; Debian's images carry only deb lines.
if ! apt-get source --print-uris "qt6-base=$version" >/dev/null 2>&1; then
    log "adding a deb-src entry for Debian's archive"
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: $codename $codename-updates" \
        "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
        "${sudo[@]}" tee /etc/apt/sources.list.d/zorScheduler-src.sources >/dev/null
    "${sudo[@]}" apt-get update -qq
fi

# The sources and the build stay in a folder of the recipe's own until the build is complete, so a build that
# was interrupted goes on where it stopped; folders of older recipes go.
work=$cache_root/work-$upstream-$recipe_hash
find "$cache_root" -maxdepth 1 -name 'work-*' ! -path "$work" -exec rm -rf {} + 2>/dev/null || true
mkdir -p "$work"
cd "$work"
if [ ! -f build/build.ninja ]; then
    rm -rf qtbase build ./*.dsc ./*.tar.*
    # Downloaded as the user, not by apt's sandbox user, who may not write here.
    apt-get source --download-only -qq "qt6-base=$version" 2>/dev/null
    # Debian's own patches are applied by the unpacking; ours follow.
    dpkg-source --no-check -x ./*.dsc qtbase >/dev/null 2>&1
    for patch in "${patches[@]}"; do
        log "applying $(basename "$patch")"
        patch -d qtbase -p1 --forward --quiet <"$patch"
    done
    configure=yes
else
    log "going on with the build in $work"
    configure=no
fi

# Static, static runtime and size-optimised, so the program is one .exe with nothing beside it. Off: whatever
# the scheduler does not use. OpenGL goes off through its configure input, which also switches off the dynamic
# OpenGL that the Windows plugin would otherwise still expect. Tablet events need wintab.h, which the +dfsg
# source drops. Direct2D must stay on (without it the DirectWrite font database goes missing from QtGui in
# 6.4); only its 1.1 variant goes. freetype, bundled, is what builds the offscreen platform plugin on Windows,
# which the headless tests use.
rm -rf "$prefix"
mkdir -p "$prefix"
# The toolchain Qt is built with lives in the cache: Qt's own toolchain file loads it again in every project
# that builds against this Qt, long after any clone is gone. The -posix compilers have std::thread; static
# linking leaves no mingw DLL to ship.
cat >"$prefix/mingw-w64-x86_64.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
TOOLCHAIN
if [ "$configure" = yes ]; then
    cmake -S qtbase -B build -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=OFF \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_static_runtime=ON -DFEATURE_optimize_size=ON \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_zstd=OFF -DFEATURE_qmake=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_direct2d1_1=OFF \
        -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_zlib=ON -DZLIB_USE_STATIC_LIBS=ON \
        >"$work/configure.log" 2>&1 || {
        tail -40 "$work/configure.log" >&2
        rm -f build/build.ninja
        exit 1
    }
fi
cmake --build build -j "$jobs" >"$work/build.log" 2>&1 || {
    tail -60 "$work/build.log" >&2
    exit 1
}
cmake --install build >/dev/null
touch "$prefix/.complete"
cd "$cache_root"
rm -rf "$work"
# Qt folders of older recipes are of no more use.
find "$cache_root" -maxdepth 1 -name "qt-*-mingw64-static-*" ! -path "$prefix" -exec rm -rf {} +
log "done: $(du -sh "$prefix" | cut -f1) in $prefix"
echo "$prefix"
