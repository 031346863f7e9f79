#!/usr/bin/env bash
# X displays of our own for the scripts that show the real program's windows (wine-e2e.sh, window-scales.sh),
# sourced. Xvfb gives the screen; there is no window manager, so windows have no frame drawn and the input
# focus follows the pointer.

displays=()

# display_start <width>x<height>: an X display of that size, exported as DISPLAY; returns once it answers. The
# server is not reset when its last client leaves: a program starting during a reset could not connect.
display_start() {
    local number server
    for number in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$number" ] && continue
        Xvfb ":$number" -screen 0 "$1x24" -nolisten tcp -noreset >/dev/null 2>&1 &
        server=$!
        for _ in $(seq 50); do
            # A server that ends lost the number to another one started meanwhile: the next number.
            kill -0 "$server" 2>/dev/null || continue 2
            if DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
                displays+=("$server")
                export DISPLAY=":$number"
                return 0
            fi
            sleep 0.1
        done
        kill "$server" 2>/dev/null
    done
    return 1
}

# Ends every display display_start began.
display_end() {
    [ ${#displays[@]} -eq 0 ] || kill "${displays[@]}" 2>/dev/null || true
    displays=()
}

# await_window <title pattern> [seconds]: the first window whose title matches, printed once it is there;
# nothing when it does not come within the time (a minute unless told).
await_window() {
    local found
    for _ in $(seq $((${2:-60} * 4))); do
        found=$(xdotool search --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$found" ] && echo "$found" && return 0
        sleep 0.25
    done
}

# picture <window or "root"> <file>: a PNG of one window as it is drawn, or of the whole screen.
picture() {
    local what=(-id "$1")
    [ "$1" = root ] && what=(-root)
    xwd "${what[@]}" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$2" 2>/dev/null
}
