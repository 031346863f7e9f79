#!/usr/bin/env bash
# The window at the scales operators' desktops have, on screens of 1280 x 1024 and 1920 x 1080 (X displays of
# their own): the Windows program under Wine at 96, 120 and 144 dots per inch (the LogPixels Windows keeps for
# the user), and the Linux program at QT_SCALE_FACTOR 1, 1.5 and 2. Each time the window must stand whole on
# the screen, however much larger than the screen its layout is at that scale. There is no window manager, so
# no frame is drawn; the program leaves room for one all the same. Under Wine, the Unlock box must then show
# a code as it is typed. Takes a picture of each screen and of each Unlock box into the picture folder when
# one is named.
#   scripts/window-scales.sh <Windows build folder> <Linux build folder> [picture folder]
set -euo pipefail

windows_build=$(cd "${1:?the Windows build folder}" && pwd)
linux_build=$(cd "${2:?the Linux build folder}" && pwd)
pictures=${3:-}
[ -z "$pictures" ] || mkdir -p "$pictures"
for file in "$windows_build/bin/zorScheduler.exe" "$linux_build/bin/zorScheduler"; do
    [ -f "$file" ] || {
        echo "window-scales: $file is missing" >&2
        exit 1
    }
done

source "$(dirname "$0")/wine.sh"
source "$(dirname "$0")/display.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/zor-scales.XXXXXX")
linux_program=
cleanup() {
    [ -n "$linux_program" ] && kill "$linux_program" 2>/dev/null
    wine_end
    display_end
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "window-scales: FAILED: $*" >&2
    [ ! -s "$work/linux/errors" ] || tail -5 "$work/linux/errors" >&2
    exit 1
}

# The operators' locale: the Persian texts of the prompts, code page 1256.
export LC_ALL=fa_IR.UTF-8
unset WAYLAND_DISPLAY

# Each program in a folder of its own with its Temp, and its own settings, state and lock.
mkdir -p "$work/windows/Temp" "$work/linux/Temp"
cp "$windows_build/bin/zorScheduler.exe" "$work/windows/"
cp "$linux_build/bin/zorScheduler" "$work/linux/"
export XDG_CONFIG_HOME=$work/linux/config XDG_STATE_HOME=$work/linux/state XDG_RUNTIME_DIR=$work/linux/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
wine_prefix "$work"

title='^Zor Scheduler   Version 1\.0\.5$'

# check_whole <screen> <what> <picture name>: the program's window is shown whole on the screen; a picture of
# the screen. Leaves the window and its place and size in window, x, y, width and height.
check_whole() {
    local WINDOW X Y WIDTH HEIGHT SCREEN
    window=$(await_window "$title")
    [ -n "$window" ] || fail "$2: the window did not open"
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$X y=$Y width=$WIDTH height=$HEIGHT
    echo "window-scales: $2 on $1: the window is $width x $height at $x, $y"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + width)) -le "${1%x*}" ] && [ $((y + height)) -le "${1#*x}" ] ||
        fail "$2 on $1: the window stands partly off the screen"
    [ -z "$pictures" ] || picture root "$pictures/window-$1-$3.png"
}

# The dark pixels of a picture: its text, lines and caret.
ink() {
    xwd -id "$1" -silent | xwdtopnm 2>/dev/null | ppmtopgm | pnmtoplainpnm | tail -n +4 | tr -s ' ' '\n' |
        awk '$1 != "" && $1 < 128 { n++ } END { print n + 0 }'
}

# check_unlock_box <what> <picture name>: Unlock, at its place in the window at the window's scale, opens the
# box, and a code typed into it shows: the box has more ink after than before (the caret alone is some 16
# pixels). Cancelled with Escape.
check_unlock_box() {
    local box before after
    xdotool mousemove $((x + 910 * width / 944)) $((y + 50 * width / 944)) click 1
    box=$(await_window '^سوال$' 10)
    [ -n "$box" ] || fail "$1: Unlock opened no box"
    sleep 1
    xdotool windowfocus --sync "$box"
    before=$(ink "$box")
    xdotool type --delay 50 "abc 123"
    sleep 1
    after=$(ink "$box")
    echo "window-scales: $1: the Unlock box has $before dark pixels, $after with a code typed"
    [ $((after - before)) -ge 30 ] || fail "$1: the Unlock box does not show what is typed"
    [ -z "$pictures" ] || picture "$box" "$pictures/unlock-box-$2.png"
    xdotool key Escape
}

for screen in 1280x1024 1920x1080; do
    display_start "$screen" || fail "no X display"
    for dpi in 96 120 144; do
        # Wine reads the user's LogPixels when its server starts.
        "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >"$work/reg.out" 2>&1 ||
            fail "reg add LogPixels: $(cat "$work/reg.out")"
        "$wineserver" -w
        # Started apart from this shell, which would report its end by the server's kill.
        (cd "$work/windows" && exec "$wine" zorScheduler.exe >/dev/null 2>&1 &)
        check_whole "$screen" "Windows at $dpi dpi" "windows-$dpi"
        check_unlock_box "Windows at $dpi dpi on $screen" "$screen-$dpi"
        # Every Windows program ends with the server, and the next one starts only once it is gone.
        "$wineserver" -k
        "$wineserver" -w
    done
    for factor in 1 1.5 2; do
        QT_SCALE_FACTOR=$factor "$work/linux/zorScheduler" >/dev/null 2>"$work/linux/errors" &
        linux_program=$!
        check_whole "$screen" "Linux at QT_SCALE_FACTOR $factor" "linux-$factor"
        kill "$linux_program"
        wait "$linux_program" || true
        linux_program=
    done
    display_end
done
echo "window-scales: passed"
