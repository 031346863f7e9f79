#!/usr/bin/env bash
# Kills the real scheduler while its start-up archives what a killed run left in the journal, and checks that
# every line of that run reaches the daily log file exactly once, the line cut short included:
#  1. at every step: for each kind of system call that a run makes on the journal, the archive's record, the
#     day's log file or their folders, from its start-up to its end in order, the program is killed as it enters
#     the 1st such call, then the 2nd, and so on, until a run gets through (strace's fault injection); after
#     each kill a plain start finishes the work;
#  2. at random moments: each run is killed twice at a random moment of its first 400 ms (start-up, recovery and
#     all), then a plain start finishes the work.
#   scripts/experiments/crash-recovery.sh [random runs]     default 50; needs build/bin/zorScheduler (or ZOR_PROGRAM) and strace
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
program=${ZOR_PROGRAM:-$source_dir/build/bin/zorScheduler}
random_runs=${1:-50}
lines=381
command -v strace >/dev/null || {
    echo "crash-recovery: strace is needed" >&2
    exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/zor-crash.XXXXXX")
trap 'pkill -KILL -f "$work/app/zorScheduler" 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
mkdir -p -m 700 "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
# Auto Start, so that a start that is through its start-up says so in the journal.
printf '[Settings]\nAutoStart=1\n' >"$XDG_CONFIG_HOME/zorScheduler.conf"
app=$work/app
state=$XDG_STATE_HOME/zorScheduler
journal=$state/zorScheduler.journal
daily=$app/Temp/zorScheduler-LOG-$(date +%F).log

# A fresh program folder, and the journal of a run killed at 09:00 after the 07:00 archive: one line a minute,
# the last one cut short by the power cut.
prepare() {
    rm -rf "$app" "$state"
    mkdir -p "$app/Temp" "$state"
    cp "$program" "$app/zorScheduler"
    for ((i = 1; i <= lines; i++)); do
        printf '7 Dec 2026 %02d:%02d:30: Process Internet Orders! #%03d\r\n' $((7 + i / 60)) $((i % 60)) "$i"
    done >"$journal"
    printf '7 Dec 2026 09:00:30: Transfer Da' >>"$journal"
}

# A plain start that goes through its start-up, then ends in order.
finish() {
    "$app/zorScheduler" 2>/dev/null &
    local pid=$!
    for _ in $(seq 100); do
        grep -q -a "Timer Started!" "$journal" 2>/dev/null && break
        sleep 0.1
    done
    kill -TERM "$pid"
    wait "$pid" || true
}

# Every line of the killed run in the log files exactly once.
check() {
    local logs numbers missing doubled
    logs=$(shopt -s nullglob && cat "$app"/Temp/*.log "$state"/zorScheduler-LOG-*.log | tr -d '\r')
    numbers=$(grep -a -o -E 'Process Internet Orders! #[0-9]+$' <<<"$logs" | sort | uniq -c || true)
    missing=$((lines - $(grep -c . <<<"$numbers" || true)))
    doubled=$(awk '$1 > 1' <<<"$numbers" | grep -c . || true)
    case $(grep -c -F "09:00:30: Transfer Da [cut short when the last run ended]" <<<"$logs" || true) in
    0) missing=$((missing + 1)) ;;
    1) ;;
    *) doubled=$((doubled + 1)) ;;
    esac
    if [ "$missing" -ne 0 ] || [ "$doubled" -ne 0 ]; then
        echo "crash-recovery: FAILED ($1): $missing lines missing, $doubled doubled" >&2
        exit 1
    fi
}

paths=()
for path in "$journal" "$state/zorScheduler.archiving" "$state/zorScheduler.archiving.new" "$daily" "$state" \
    "$app/Temp"; do
    paths+=(-P "$path")
done

# The calls that a run makes on those files, from its start-up to its end on SIGTERM.
prepare
strace -f -o "$work/calls" "${paths[@]}" "$app/zorScheduler" 2>/dev/null &
tracer=$!
until grep -q -a "Timer Started!" "$journal" 2>/dev/null; do sleep 0.1; done
kill -TERM "$(pgrep -P "$tracer")"
wait "$tracer"
mapfile -t calls < <(grep -o -E '^[0-9]+ +[a-z0-9_]+\(' "$work/calls" | sed -E 's/^[0-9]+ +//; s/\($//' | sort -u)

kills=0
for call in "${calls[@]}"; do
    for ((nth = 1; ; nth++)); do
        prepare
        strace -f -o /dev/null "${paths[@]}" -e "inject=$call:signal=SIGKILL:when=$nth" "$app/zorScheduler" \
            2>/dev/null &
        tracer=$!
        for _ in $(seq 100); do
            grep -q -a "Timer Started!" "$journal" 2>/dev/null || ! kill -0 "$tracer" 2>/dev/null && break
            sleep 0.05
        done
        # Through its start-up: it ends in order, which archives once more, and may be killed there.
        kill -TERM "$(pgrep -P "$tracer")" 2>/dev/null || true
        status=0
        wait "$tracer" 2>/dev/null || status=$?
        [ "$status" -eq 0 ] && break
        kills=$((kills + 1))
        finish
        check "killed as it entered $call for the time $nth"
    done
done
echo "crash-recovery: killed $kills times, once as it entered each of its calls on those files (${calls[*]}):" \
    "every line once"

# Where each random kill fell: before the archive began, while its record existed, or after it.
before=0 during=0 after=0
for ((run = 1; run <= random_runs; run++)); do
    prepare
    for _ in 1 2; do
        "$app/zorScheduler" 2>/dev/null &
        pid=$!
        sleep "0.$(printf %03d $((RANDOM % 400)))"
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        if [ -e "$state/zorScheduler.archiving" ]; then
            during=$((during + 1))
        elif grep -q -a "Orders! #001" "$journal"; then
            before=$((before + 1))
        else
            after=$((after + 1))
        fi
    done
    finish
    check "random run $run"
done
echo "crash-recovery: $random_runs runs, each killed twice at a random moment of its first 400 ms ($before kills" \
    "before the archive, $during while it was under way, $after after it): every line once"
