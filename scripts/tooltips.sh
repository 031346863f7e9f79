#!/usr/bin/env bash
# Pictures of the tooltips that tell each job's next run and last result, and the timer's state, on the real
# program shown on an X display of its own (Xvfb): a job whose program ended with an error (Process Internet
# Orders), one whose program still runs (Transfer Person & Coupons, every minute), one unticked (Send SMS), and
# the status lamp. Stand-ins in the program's folder play Velmora.exe and UpdateManager.exe. Waits for the first
# tick, in the minute after the start, so it takes one to two minutes. With a Windows build folder, the same under
# Wine, with Windows stand-ins made from the suites' zor_standin.exe.
#   scripts/tooltips.sh [Linux build folder] [picture folder] [Windows build folder]
#                                              defaults: build, docs/tooltips, none
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
pictures=$(mkdir -p "${2:-docs/tooltips}" && cd "${2:-docs/tooltips}" && pwd)
windows_build=${3:-}

scripts/setup.sh test >/dev/null
cmake --preset dev -B "$build" >/dev/null
cmake --build "$build" --target zorScheduler >/dev/null

source scripts/display.sh
[ -z "$windows_build" ] || source scripts/wine.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/zor-tooltips.XXXXXX")
program=
cleanup() {
    [ -z "$program" ] || { kill "$program" 2>/dev/null && wait "$program" 2>/dev/null || true; }
    # The stand-in that still runs.
    [ ! -s "$work/linux/sleeping" ] || kill "$(cat "$work/linux/sleeping")" 2>/dev/null || true
    [ -z "$windows_build" ] || wine_end
    display_end
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "tooltips: FAILED: $*" >&2
    exit 1
}

unset WAYLAND_DISPLAY
export LC_ALL=C.UTF-8 LANG=C.UTF-8
title='^Zor Scheduler   Version 1\.0\.5$'

# The stored choices: Auto Start, every job but the SMS ticked, the person transfer every minute.
settings() {
    printf '%s\r\n' '[Settings]' AutoStart=1 TransferPerson=1 TransferPersonInterval=0 ProcessInternetOrders=1 \
        SendSms=0 SMSStartTime=2 TransferData=1 TransferDataInterval=4 CleanBackupDir=1 RunUpdateManager=1
}

# shoot <window> <x> <y> <picture>: the pointer rests on the window's point x, y until the tooltip shows; a
# picture of the window's top part with the tooltip on it. Xvfb gives the tooltip's own window back as drawn,
# but not the screen under it, so the one is pasted onto the other.
shoot() {
    local WINDOW X Y WIDTH HEIGHT SCREEN x y tip
    eval "$(xdotool getwindowgeometry --shell "$1")"
    x=$X y=$Y
    # Qt shows tooltips in the active window only; with no window manager, the input focus makes it so.
    xdotool windowfocus --sync "$1"
    xdotool mousemove $((x + 470)) $((y + 300))
    sleep 1
    xdotool mousemove $((x + $2)) $((y + $3))
    sleep 2.5
    # The one other window that shows and has a name.
    tip=
    for id in $(xdotool search --onlyvisible --name '.*' || true); do
        [ "$id" != "$1" ] && [ -n "$(xdotool getwindowname "$id")" ] && tip=$id
    done
    [ -n "$tip" ] || fail "$4: no tooltip showed"
    eval "$(xdotool getwindowgeometry --shell "$tip")"
    xwd -id "$tip" -silent | xwdtopnm 2>/dev/null >"$work/tip.pnm"
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmpaste "$work/tip.pnm" "$X" "$Y" |
        pnmcut -left "$x" -top "$y" -width 944 -height 240 | pnmtopng >"$pictures/$4" 2>/dev/null
    echo "tooltips: $pictures/$4"
}

# all_four <window> <suffix>: the four pictures. Places in the window's client area (SchedulerWindow.ui):
# the caption of each job's box, and the lamp.
all_four() {
    shoot "$1" 150 86 "error-$2.png"
    shoot "$1" 150 67 "running-$2.png"
    shoot "$1" 150 105 "unticked-$2.png"
    shoot "$1" 45 103 "lamp-$2.png"
}

display_start 1280x1024 || fail "no X display"

# Linux: shell stand-ins. Internet orders end with exit code 3 after a second; the person transfer sleeps.
mkdir -p "$work/linux/Temp" "$work/linux/config" "$work/linux/state" "$work/linux/run"
chmod 700 "$work/linux/run"
cp "$build/bin/zorScheduler" "$work/linux/"
cat >"$work/linux/Velmora.exe" <<EOF
#!/bin/sh
case "\$1" in
';;;;;;;;;;;;;;;True') sleep 1; exit 3 ;;
';;;;;;;;;;True') echo \$\$ >"$work/linux/sleeping"; exec sleep 3600 ;;
esac
EOF
printf '#!/bin/sh\n' >"$work/linux/UpdateManager.exe"
chmod +x "$work/linux/Velmora.exe" "$work/linux/UpdateManager.exe"
settings >"$work/linux/config/zorScheduler.conf"
XDG_CONFIG_HOME=$work/linux/config XDG_STATE_HOME=$work/linux/state XDG_RUNTIME_DIR=$work/linux/run \
    "$work/linux/zorScheduler" >/dev/null 2>"$work/linux/errors" &
program=$!
window=$(await_window "$title")
[ -n "$window" ] || fail "the window did not open"
journal=$work/linux/state/zorScheduler/zorScheduler.journal
for _ in $(seq 120); do
    grep -q -a 'Process Internet Orders!' "$journal" 2>/dev/null && break
    sleep 1
done
grep -q -a 'Process Internet Orders!' "$journal" || fail "no tick within two minutes"
sleep 3
all_four "$window" linux
kill "$program"
wait "$program" || true
program=

[ -n "$windows_build" ] || exit 0

# Windows: the suites' stand-in ends with the code ZOR_STANDIN_EXIT_CODE names (3), except the person transfer,
# whose parameter string ZOR_STANDIN_RUNS_ON names: that one runs on.
wine_prefix "$work"
mkdir -p "$work/windows/Temp"
cp "$windows_build/bin/zorScheduler.exe" "$work/windows/"
for name in Velmora.exe UpdateManager.exe; do
    cp "$windows_build/tests/bin/zor_standin.exe" "$work/windows/$name"
done
settings | sed '1d; s/\r$//' | while IFS== read -r key value; do
    "$wine" reg add 'HKCU\Software\VB and VBA Program Settings\zorScheduler\Settings' /v "$key" /t REG_SZ \
        /d "$value" /f >/dev/null 2>&1
done
(cd "$work/windows" && ZOR_STANDIN_EXIT_CODE=3 ZOR_STANDIN_RUNS_ON=';;;;;;;;;;True' exec "$wine" zorScheduler.exe \
    >/dev/null 2>&1 &)
window=$(await_window "$title")
[ -n "$window" ] || fail "the Windows window did not open"
sleep 100
all_four "$window" windows
