#!/usr/bin/env bash
# Proves the set-up where nothing was installed by hand: a minimal Debian 12 root (mmdebstrap's minbase, from
# this machine's own apt sources) runs `scripts/setup.sh test`, shows that every tool the scripts call is there
# and runs, and then runs the given command on this tree, mounted in the root at its own path, so that what the
# command builds stays in the tree. A package that setup.sh forgets fails here, however much this machine has.
#   scripts/fresh-machine.sh [command...]     default: just the set-up and the tools
# Needs root (CI is root; elsewhere it asks sudo, and the command runs as the user who called it).
# The base root is made once and kept as a tarball in the cache (ZOR_CACHE, as for scripts/windows-qt.sh); each
# run unpacks it into memory and drops it afterwards. The packages apt has downloaded before, on this machine or
# for an earlier root, are lent to the root read-only, so only what is new is downloaded; that is kept in the
# cache too.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
cache_root=${ZOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorScheduler}
jobs=${ZOR_JOBS:-$(nproc)}

if [ "$(id -u)" -ne 0 ]; then
    exec sudo ZOR_CACHE="$cache_root" ZOR_JOBS="$jobs" ZOR_USER="$(id -u):$(id -g)" "$0" "$@"
fi
user=${ZOR_USER:-0:0}

log() { echo "fresh-machine: $*" >&2; }
fail() {
    log "FAILED: $*"
    exit 1
}

command -v mmdebstrap >/dev/null || fail "mmdebstrap is missing (scripts/setup.sh test installs it)"

# The root's apt reads this machine's own sources of packages, and nothing else: no other network is reachable
# here. Source-code entries (deb-src, which scripts/windows-qt.sh adds) play no part.
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -s "$file" ] && grep -q -E '^[[:space:]]*(deb|Types:([[:space:]]+deb-src)*[[:space:]]+deb)([[:space:]]|$)' "$file" &&
        sources+=("$file")
done
[ ${#sources[@]} -gt 0 ] || fail "this machine has no apt sources to make the root from"

# Documentation, manual pages and translations are never unpacked: the root is thrown away.
options=(--variant=minbase --aptopt='Acquire::Check-Valid-Until "false"' --dpkgopt=force-unsafe-io
    --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*'
    --dpkgopt='path-exclude=/usr/share/locale/*' --dpkgopt='path-include=/usr/share/locale/locale.alias')
key=$( (printf '%s\n' "${options[@]}" && cat "${sources[@]}") | sha256sum | cut -c1-12)
base=$cache_root/debian12-minbase-$key.tar
debs=$cache_root/fresh-root-debs

mkdir -p "$cache_root" "$debs"
if [ ! -f "$base" ]; then
    log "making the base root (once per machine): $base"
    # Tarballs of other options or sources are of no more use.
    find "$cache_root" -maxdepth 1 -name 'debian12-minbase-*.tar*' -delete
    mmdebstrap --quiet --format=tar "${options[@]}" bookworm "$base.partial" "${sources[@]}" ||
        fail "mmdebstrap could not make the base root"
    mv "$base.partial" "$base"
fi

# The root lives in a file system of its own in memory: dropping it is one unmount, and nothing is ever
# deleted through a mount that leads back to this machine's files.
root=$(mktemp -d "${TMPDIR:-/tmp}/zor-fresh-root.XXXXXX")
mounts=()
cleanup() {
    local index process
    # Whatever still runs inside the root ends first; it would hold the mounts.
    for process in /proc/[0-9]*; do
        [[ $(readlink "$process/root" 2>/dev/null) == "$root" ]] && kill -KILL "${process#/proc/}" 2>/dev/null
    done
    for ((index = ${#mounts[@]} - 1; index >= 0; index--)); do
        umount "${mounts[index]}" 2>/dev/null || umount --lazy "${mounts[index]}" 2>/dev/null || true
    done
    rmdir "$root" 2>/dev/null || log "$root is still in use and stays"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mount_in() { # mount_in <mount arguments...> <path inside the root>
    local inside=$root${*: -1}
    mkdir -p "$inside"
    mount "${@:1:$#-1}" "$inside"
    mounts+=("$inside")
}

mount -t tmpfs -o size=12g,mode=0755 zor-fresh-root "$root"
mounts+=("$root")
tar -x -f "$base" -C "$root"
mount_in -t proc proc /proc
mount_in --bind /dev /dev
mount_in --bind /dev/pts /dev/pts
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# apt sees the packages downloaded before as its own; what it writes goes to the root's memory.
mkdir -p "$root/.debs/upper" "$root/.debs/work"
mount_in -t overlay overlay -o "lowerdir=$debs:/var/cache/apt/archives,upperdir=$root/.debs/upper,workdir=$root/.debs/work" \
    /var/cache/apt/archives
mount_in --bind "$source_dir" "$source_dir"

# A clean environment, not this one's: nothing of this machine's PATH or variables leaks in.
inside() { # inside <user> <shell command>
    chroot --userspec="$1" "$root" /usr/bin/env -i HOME=/tmp PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive ZOR_JOBS="$jobs" CI="${CI:-}" \
        /bin/bash -c "cd '$source_dir' || exit 1; $2"
}

setup() { # setup <purpose>
    log "scripts/setup.sh $1 in a minimal Debian 12 root"
    inside 0:0 "scripts/setup.sh $1 >/tmp/setup.log 2>&1" || {
        inside 0:0 "tail -30 /tmp/setup.log" >&2
        fail "scripts/setup.sh $1 did not finish in the fresh root"
    }
}

# The README's first command with no more than its own set-up: scripts/run.sh builds the program and starts it
# (headless); it runs for a few seconds and ends in order on SIGTERM. run.sh ends by becoming the program, so
# its process is the program's once that has started.
setup run
log "scripts/run.sh in the fresh root"
inside "$user" '(QT_QPA_PLATFORM=offscreen exec scripts/run.sh >/tmp/run.log 2>&1) & run=$!
    for ((tenths = 0; tenths < 6000; tenths++)); do
        [[ $(readlink /proc/$run/exe) == */bin/zorScheduler ]] && sleep 3 && break
        kill -0 $run 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM $run 2>/dev/null; wait $run' || {
    inside 0:0 "tail -30 /tmp/run.log" >&2
    fail "scripts/run.sh did not build and run the scheduler after scripts/setup.sh run"
}

setup test
find "$root/.debs/upper" -maxdepth 1 -name '*.deb' -exec cp -n -t "$debs" {} +

# Every tool the scripts call, each asked for its version, so that one present but missing a library of its
# own fails here too.
tools=(
    "cmake --version" "ninja --version" "g++ --version" "pkg-config --modversion libsystemd" "clang-format --version"
    "x86_64-w64-mingw32-gcc-posix --version" "x86_64-w64-mingw32-g++-posix --version"
    "x86_64-w64-mingw32-windres --version" "x86_64-w64-mingw32-windmc --version" "dpkg-source --version"
    "patch --version" "xz --version" "/usr/lib/wine/wine64 --version" "wineserver --version" "Xvfb -help"
    "xdotool --version" "command -v xwd" "xwdtopnm --version" "pnmtopng --version" "ppmtopgm --version"
    "pnmtoplainpnm --version" "strace -V" "cc --version" "localedef --help" "mmdebstrap --version" "readelf --version"
    "x86_64-w64-mingw32-objdump --version"
)
for tool in "${tools[@]}"; do
    inside 0:0 "$tool >/dev/null 2>&1" || fail "'${tool%% *}' is missing or does not run after scripts/setup.sh test"
done
inside 0:0 "locale -a | grep -q -i '^fa_IR\.utf-\?8\$'" || fail "the fa_IR.UTF-8 locale is missing"
log "the set-up holds on a fresh Debian 12 root"

if [ $# -gt 0 ]; then
    log "running $* in the fresh root"
    inside "$user" "$(printf '%q ' "$@")" || fail "$* failed in the fresh root"
fi
