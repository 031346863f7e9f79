#!/usr/bin/env bash
# What another user of the machine can do to a running scheduler: runs the real program headless, as root, in a
# folder of its own, while nobody (uid 65534) tries what any user who can write to a shared folder could try.
# Prints what each try met.
#   1. holds a lock file in the shared temporary folder, for a start without a runtime folder (su, cron, ssh);
#   2. (no other user needed) a folder in the lock's place, and a second start;
#   3. reads and locks what the scheduler keeps in its state folder, under the umask 022;
#   4. names the program's folder with CR LF and a forged line, and looks at the day's log file;
#   5. plants, in a Temp that every user may write, a symbolic link at the day's log file to a private file of the
#      scheduler's user, before the 07:00 archive (a clock that starts at 06:58:45 and runs 120 times fast,
#      scripts/fast-clock.c);
#   6. makes the day's log file there first, as its own, open to every user, before the 07:00 archive.
#   scripts/experiments/other-user.sh [program [try...]]   default: build/bin/zorScheduler, every try; needs root,
#                                                          setpriv, flock, and for 5 and 6 a C compiler
set -euo pipefail
cd "$(dirname "$0")/../.."
[ "$(id -u)" = 0 ] || {
    echo "other-user: run it as root, which can act as nobody too" >&2
    exit 1
}

source scripts/experiments/real-program.sh
real_program_folder other-user "${1:-}" ProcessInternetOrders
tries=" ${*:2} "
[ "$tries" != "  " ] || tries=" 1 2 3 4 5 6 "
tried() { [[ $tries == *" $1 "* ]]; }
holder=
trap '[ -n "$scheduler" ] && kill -KILL "$scheduler" 2>/dev/null; [ -n "$holder" ] && kill "$holder" 2>/dev/null;
      rm -rf "$folder"' EXIT
chmod 711 "$folder"
mkdir -m 1777 "$folder/shared"
umask 022
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"; }
# Starts the program in the background; after 3 s $state says whether it still runs.
start() {
    "$folder/zorScheduler" 2>>"$folder/errors" &
    scheduler=$!
    sleep 3
    state="ended at once"
    ! kill -0 "$scheduler" 2>/dev/null || state=runs
}
stop() {
    kill -TERM "$scheduler" 2>/dev/null && wait "$scheduler" 2>/dev/null || true
    scheduler=
}
hold() {
    as_nobody flock "$1" sleep 120 2>/dev/null &
    holder=$!
    sleep 1
    if kill -0 "$holder" 2>/dev/null; then echo "   nobody holds $1"; else echo "   nobody cannot open $1"; fi
}
let_go() {
    kill "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
    holder=
}
lock_places() { find "$folder/shared" "$folder/state" "$folder/runtime" -name '*.lock' -printf '%M %u %p\n' 2>/dev/null; }

if tried 1; then
    echo "1. No runtime folder; nobody made $folder/shared/runtime-root and holds $folder/shared/zorScheduler.lock"
    as_nobody mkdir -m 700 "$folder/shared/runtime-root"
    hold "$folder/shared/zorScheduler.lock"
    XDG_RUNTIME_DIR= TMPDIR=$folder/shared start
    echo "   the scheduler: $state"
    lock_places | sed 's/^/   lock: /'
    stop
    let_go
fi

if tried 2; then
    echo "2. A folder in the lock's place $folder/runtime/zorScheduler.lock"
    mkdir "$folder/runtime/zorScheduler.lock"
    start
    echo "   the scheduler: $state"
    first_pid=$scheduler
    start
    echo "   a second start: $state"
    kill -KILL "$scheduler" 2>/dev/null || true
    scheduler=$first_pid
    stop
    rmdir "$folder/runtime/zorScheduler.lock"
fi

if tried 3; then
    echo "3. The state folder under umask 022, and nobody"
    start
    echo "   the scheduler: $state"
    journal=$folder/state/zorScheduler/zorScheduler.journal
    find "$folder/state" -printf '   %M %u %p\n'
    echo "   nobody reads the journal: $(as_nobody cat "$journal" 2>/dev/null | wc -c) bytes" \
        "$(as_nobody cat "$journal" 2>&1 >/dev/null | head -1)"
    stop
    hold "$journal"
    : >"$folder/errors"
    start
    echo "   with nobody holding the journal, the scheduler: $state"
    stop
    grep -a -m1 'zorScheduler.journal' "$folder/errors" | sed 's/^/   said: /' || echo "   said nothing of its journal"
    let_go
fi

if tried 4; then
    echo "4. The program in a folder whose name holds CR LF and a forged line"
    forged=$folder/zor$'\r\n'"1/1/24 9:00:00 AM: Timer Stopped!"
    mkdir -p "$forged/Temp"
    cp "$folder/zorScheduler" "$forged/"
    rm -rf "$folder/state/zorScheduler"
    "$forged/zorScheduler" 2>>"$folder/errors" &
    scheduler=$!
    # Process Internet Orders is due every minute; with no Velmora.exe beside it, its start fails, naming the file.
    for _ in $(seq 100); do
        grep -qa 'Start failed' "$folder/state/zorScheduler/zorScheduler.journal" 2>/dev/null && break
        sleep 1
    done
    stop
    echo "   the day's log file, line by line (cat -A):"
    cat -A "$forged"/Temp/*.log | sed 's/^/   | /'
fi

# The day's log file of the fast clock's day, and a run of the scheduler over its 07:00 archive, ended in order.
day=$(date +%F)
daily=$folder/Temp/zorScheduler-LOG-$day.log
fallback=$folder/state/zorScheduler/zorScheduler-LOG-$day.log
run_over_seven() {
    [ -f "$folder/fast-clock.so" ] || cc -shared -fPIC -O2 -o "$folder/fast-clock.so" scripts/fast-clock.c -ldl
    rm -rf "$folder/state/zorScheduler"
    LD_PRELOAD=$folder/fast-clock.so ZOR_CLOCK_START=$(date -d "$day 06:58:45" +%s) ZOR_CLOCK_SPEED=120 \
        "$folder/zorScheduler" 2>>"$folder/errors" &
    scheduler=$!
    # 07:01:45 on the fast clock: the 07:00 and 07:01 ticks are over.
    sleep 1.5
    stop
}
# What the run left: the day's log file, the private file, and the state folder's file of the same name.
after_the_run() {
    find "$folder/Temp" -mindepth 1 -printf '   in Temp: %M %u %f %l\n'
    echo "   the private file: $(stat -c '%s bytes, %U' "$folder/private")"
    sed 's/^/   | /' "$folder/private"
    if [ -f "$fallback" ]; then
        echo "   the state folder's $(basename "$fallback"), line by line:"
        tr -d '\r' <"$fallback" | sed 's/^/   | /'
    else
        echo "   no $(basename "$fallback") in the state folder"
    fi
}
private_file() {
    rm -rf "$folder/Temp" "$folder/private"
    mkdir -m 777 "$folder/Temp"
    printf 'a private file of the scheduler'"'"'s user\n' >"$folder/private"
    chmod 600 "$folder/private"
}

if tried 5; then
    echo "5. nobody plants a link to a private file (0600) at the day's log file in a Temp that every user may write"
    private_file
    as_nobody ln -s "$folder/private" "$daily"
    run_over_seven
    after_the_run
fi

if tried 6; then
    echo "6. nobody makes the day's log file first, as its own, open to every user"
    private_file
    as_nobody sh -c "umask 0; printf 'nobody was here\n' >'$daily'"
    run_over_seven
    after_the_run
    echo "   the day's log file:"
    tr -d '\r' <"$daily" | sed 's/^/   | /'
fi
