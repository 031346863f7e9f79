#!/bin/sh
# Draws the program's icon from its SVG source into the PNGs (the window's, src/ui/icons) and the Windows .ico
# (the executable's, src/app) that are kept in the repository, so that building needs no converter. Run after
# changing src/ui/icons/zorScheduler.svg.
# Needs rsvg-convert (Debian: librsvg2-bin) and icotool (Debian: icoutils).
set -eu

icons="$(cd "$(dirname "$0")/../src/ui/icons" && pwd)"
app="$(cd "$(dirname "$0")/../src/app" && pwd)"
sizes="16 32 48 64 128 256"

for size in $sizes; do
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$icons/zorScheduler-$size.png" "$icons/zorScheduler.svg"
done

# The 256 px image goes in as PNG, the smaller ones as 32-bit bitmaps, the usual make-up of a Windows icon.
set --
for size in $sizes; do
    if [ "$size" = 256 ]; then
        set -- "$@" --raw="$icons/zorScheduler-$size.png"
    else
        set -- "$@" "$icons/zorScheduler-$size.png"
    fi
done
icotool --create --output="$app/zorScheduler.ico" "$@"
