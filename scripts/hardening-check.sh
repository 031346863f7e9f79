#!/usr/bin/env bash
# Reads the hardening back from the built programs and fails when any of it is missing.
#   scripts/hardening-check.sh <Linux build folder> [<Windows build folder>]
# Linux (readelf): a position-independent executable, relocations read-only after start (GNU_RELRO) and bound
# at start (BIND_NOW), the stack protector linked in, and every source compiled with _FORTIFY_SOURCE (from the
# compile database: a fortified call shows in the program only where the compiler cannot prove a size).
# Windows (objdump): DYNAMIC_BASE, HIGH_ENTROPY_VA and NX_COMPAT in the PE header, and the stack protector.
set -euo pipefail

linux=$1
windows=${2:-}
failed=0
check() { # check <what> <command...>: says what is missing
    if "${@:2}" >/dev/null 2>&1; then
        echo "hardening: $1: yes"
    else
        echo "hardening: $1: MISSING" >&2
        failed=1
    fi
}

program=$linux/bin/zorScheduler
check "$program is position-independent" grep -q 'DYN (Position-Independent' <(readelf -h "$program")
check "$program has RELRO" grep -q GNU_RELRO <(readelf -l -W "$program")
check "$program binds at start" grep -q -E 'BIND_NOW|Flags:.* NOW' <(readelf -d "$program")
check "$program has the stack protector" grep -q __stack_chk_fail <(readelf --dyn-syms -W "$program")
sources=$(grep -c '"command"' "$linux/compile_commands.json")
fortified=$(grep '"command"' "$linux/compile_commands.json" | grep -c -e '-D_FORTIFY_SOURCE=[23]' || true)
check "every source of $linux is compiled with _FORTIFY_SOURCE ($fortified of $sources)" test "$fortified" -eq "$sources"

if [ -n "$windows" ]; then
    exe=$windows/bin/zorScheduler.exe
    header=$(x86_64-w64-mingw32-objdump -p "$exe")
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        check "$exe has $flag" grep -q -w "$flag" <<<"$header"
    done
    check "$exe has the stack protector" grep -q __stack_chk_fail <(x86_64-w64-mingw32-objdump -t "$exe")
fi
exit $failed
