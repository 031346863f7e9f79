#!/usr/bin/env bash
# Wine as the scripts run Windows programs with it. Sourced (wine-tests.sh, wine-e2e.sh), it sets $wine and
# $wineserver, exports the environment every Windows program runs in, and makes throw-away prefixes. Run as a
# program, it runs its arguments under Wine in that environment: so ctest starts every suite of the Windows
# build (the emulator of cmake/mingw-w64-x86_64.cmake), in the prefix WINEPREFIX names.

# Debian keeps the 64-bit loader out of PATH when the 32-bit one is missing.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# No debug channels, and no offer to install Mono or Gecko.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    exec "$wine" "$@"
fi

# wine_prefix <folder>: a prefix of our own in the folder, which the caller removes after wine_end. Creating a
# prefix takes a while, so it is done here, before anything runs in it, and no test's time limit pays for it.
wine_prefix() {
    export WINEPREFIX=$1/prefix
    wine_own_prefix=$WINEPREFIX
    "$wine" wineboot --init >/dev/null 2>&1
    "$wineserver" -w
}

# Ends whatever still runs in the prefix of wine_prefix, if one was made.
wine_end() {
    [ -n "${wine_own_prefix:-}" ] || return 0
    WINEPREFIX=$wine_own_prefix "$wineserver" -k >/dev/null 2>&1 || true
}
