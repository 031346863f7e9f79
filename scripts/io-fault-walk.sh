#!/usr/bin/env bash
# Fails the real scheduler's system calls on its files, one at a time, and checks that every line still reaches
# the log files exactly once. Two runs are walked:
#  - the journal's: it starts with the journal of a killed run (21 lines, the last cut short), archives it at
#    start-up, archives its pane at 07:00 (a clock that starts at 06:58:45 and runs 120 times fast,
#    fast-clock.c), and ends in order on SIGTERM;
#  - the landed one: it starts where a run was killed after its start-up archive landed, before the journal was
#    emptied (the journal, the archive's record, the entry in the day's file), and ends in order once its
#    start-up is through.
# For each kind of system call that a run makes on the journal, the archive's record, the day's log file, the
# file of the same name in the state folder, and their folders, its 1st occurrence fails with EIO, then its 2nd,
# and so on for every occurrence, then the same with ENOSPC for the calls that may need a new block of the disk
# (strace's fault injection). After each run a plain start finishes the work and ends in order. A case is sound
# when every line of both runs is in the log files exactly once, or, where it is not, on standard error or in a
# file that standard error names; a run that does not end in order is unsound too.
#   scripts/io-fault-walk.sh     needs build/bin/zorScheduler (or ZOR_PROGRAM), strace and a C compiler
# Prints the number of cases and of unsound ones, and exits non-zero when there is an unsound one.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
program=${ZOR_PROGRAM:-$source_dir/build/bin/zorScheduler}
lines=21
speed=120
for tool in strace cc; do
    command -v "$tool" >/dev/null || {
        echo "io-fault-walk: $tool is needed" >&2
        exit 1
    }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zor-io-walk.XXXXXX")
trap 'pkill -KILL -f "$work/app/zorScheduler" 2>/dev/null || true; rm -rf "$work"' EXIT
cc -shared -fPIC -O2 -o "$work/fast-clock.so" "$source_dir/scripts/fast-clock.c" -ldl
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
mkdir -p -m 700 "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
# Auto Start, and one job every minute, so that the pane has a line after the 07:00 archive.
printf '[Settings]\nAutoStart=1\nProcessInternetOrders=1\nTransferData=0\nCleanBackupDir=0\nRunUpdateManager=0\n' \
    >"$XDG_CONFIG_HOME/zorScheduler.conf"
printf 'BackupDatabase=0\n' >>"$XDG_CONFIG_HOME/zorScheduler.conf"
app=$work/app
state=$XDG_STATE_HOME/zorScheduler
journal=$state/zorScheduler.journal
day=$(date +%F)
daily=$app/Temp/zorScheduler-LOG-$day.log
clock_start=$(date -d "$day 06:58:45" +%s)
traced_env=(-E "LD_PRELOAD=$work/fast-clock.so" -E "ZOR_CLOCK_START=$clock_start" -E "ZOR_CLOCK_SPEED=$speed")
# The journal's run, from its start to 07:00:50 on the fast clock: the 07:00 tick is over, the 07:01 one far
# off. The other run ends as soon as its start-up is through.
declare -A run_seconds=([journal]=$(awk -v s=$speed 'BEGIN { printf "%.2f", 125 / s }') [landed]=0.4)
# The faulted run's own lines that must be kept: its start, and in the journal's run the job after 07:00.
declare -A run_lines=([journal]="06:5[89]:..: Timer Started!|07:00:..: Process Internet Orders!"
    [landed]="06:5[89]:..: Timer Started!")

# A fresh program folder, with the journal of a killed run; with "landed", also the record of its archive at the
# next start and the entry that archive wrote, as a kill after the entry's write leaves them.
prepare() {
    rm -rf "$app" "$state"
    mkdir -p "$app/Temp" "$state"
    cp "$program" "$app/zorScheduler"
    for standin in Velmora.exe UpdateManager.exe; do
        printf '#!/bin/sh\nexit 0\n' >"$app/$standin"
        chmod +x "$app/$standin"
    done
    for ((i = 1; i <= lines; i++)); do
        printf '6 Dec 2026 23:%02d:30: Process Internet Orders! #%03d\r\n' "$i" "$i"
    done >"$journal"
    printf '6 Dec 2026 23:59:30: Transfer Da' >>"$journal"
    [ "$scenario" = landed ] || return 0
    local entry
    entry=$(
        printf '7 Dec 2026 06:00:00\t6 Dec 2026 23:59:30: Transfer Da [cut short when the last run ended]\r\n'
        for ((i = lines; i >= 1; i--)); do
            printf '6 Dec 2026 23:%02d:30: Process Internet Orders! #%03d\r\n' "$i" "$i"
        done
        printf '\r\nx'
    )
    entry=${entry%x}
    printf '%s' "$entry" >"$daily"
    printf 'zorScheduler pending archive\nrecovery 0 %d\n%s%s' "${#daily}" "$daily" "$entry" \
        >"$state/zorScheduler.archiving"
}

# The faulted run: its start-up, the 07:00 tick, and SIGTERM. Its exit status, or strace's.
faulted_run() {
    strace -f -o /dev/null "${paths[@]}" "${traced_env[@]}" "$@" "$app/zorScheduler" 2>"$work/errors1" &
    local tracer=$! status=0
    sleep "${run_seconds[$scenario]}"
    kill -TERM "$(pgrep -P "$tracer")" 2>/dev/null || true
    wait "$tracer" || status=$?
    return "$status"
}

# A plain start that goes through its start-up, then ends in order.
finish() {
    "$app/zorScheduler" 2>"$work/errors2" &
    local pid=$!
    for _ in $(seq 200); do
        grep -q -a "Timer Started!" "$journal" 2>/dev/null && break
        sleep 0.05
    done
    kill -TERM "$pid"
    wait "$pid" || true
}

# Why the case is unsound, or nothing. A line missing from the log files must be on standard error or in a file
# that standard error names; none may be in the log files twice.
verdict() {
    local logs elsewhere=() named file line count missing=0 doubled
    logs=$(shopt -s nullglob && cat "$app"/Temp/*.log "$state"/zorScheduler-LOG-*.log | tr -d '\r' |
        sed -E 's/^[^\t]*\t//')
    elsewhere=("$work/errors1" "$work/errors2")
    for file in "$state"/*; do
        named=$(basename "$file")
        case $named in zorScheduler.journal | zorScheduler-LOG-*.log) continue ;; esac
        grep -q -a -F "$named" "$work/errors1" "$work/errors2" && elsewhere+=("$file")
    done
    local twice=0
    for ((i = 1; i <= lines + 1; i++)); do
        line=$(printf 'Process Internet Orders! #%03d' "$i")
        ((i > lines)) && line="23:59:30: Transfer Da [cut short when the last run ended]"
        count=$(grep -a -c -F -- "$line" <<<"$logs" || true)
        if [ "$count" -eq 0 ] && ! cat "${elsewhere[@]}" | grep -q -a -F -- "${line% \[*}"; then
            missing=$((missing + 1))
        fi
        [ "$count" -gt 1 ] && twice=$((twice + 1))
    done
    [ "$missing" -gt 0 ] && echo "$missing lines of the killed run in no log file and nowhere said;"
    [ "$twice" -gt 0 ] && echo "$twice lines of the killed run more than once in the log files;"
    local -a own
    IFS='|' read -r -a own <<<"${run_lines[$scenario]}"
    for line in "${own[@]}"; do
        count=$(grep -a -c -E -- "$line" <<<"$logs" || true)
        if [ "$count" -eq 0 ] && ! cat "${elsewhere[@]}" | grep -q -a -E -- "$line"; then
            echo "the faulted run's line \"$line\" in no log file and nowhere said"
        fi
    done
    doubled=$(grep -a . <<<"$logs" | sort | uniq -d | head -3)
    [ -n "$doubled" ] && echo "lines twice in the log files: ${doubled//$'\n'/ | }"
    return 0
}

paths=()
for path in "$journal" "$state/zorScheduler.archiving" "$state/zorScheduler.archiving.new" "$daily" \
    "$state/zorScheduler-LOG-$day.log" "$state" "$app/Temp"; do
    paths+=(-P "$path")
done

# The calls that an unfaulted run makes on those files, and how often. Every call can fail with EIO; ENOSPC only
# comes from the calls that may need a new block of the disk (an open that creates a file is left out).
cases=0 unsound=0
for scenario in journal landed; do
    prepare
    strace -f -o "$work/calls" "${paths[@]}" "${traced_env[@]}" "$app/zorScheduler" 2>/dev/null &
    tracer=$!
    sleep "${run_seconds[$scenario]}"
    kill -TERM "$(pgrep -P "$tracer")"
    wait "$tracer"
    mapfile -t counted < <(grep -o -E '^[0-9]+ +[a-z0-9_]+\(' "$work/calls" | sed -E 's/^[0-9]+ +//; s/\($//' |
        sort | uniq -c | awk '{ print $2 " " $1 }')
    echo "io-fault-walk: the calls of the $scenario run on its files: ${counted[*]}"
    for error in EIO ENOSPC; do
        for entry in "${counted[@]}"; do
            call=${entry% *}
            [ "$error" = ENOSPC ] && [[ " write fdatasync fsync ftruncate rename mkdir " != *" $call "* ]] &&
                continue
            for ((nth = 1; nth <= ${entry#* }; nth++)); do
                prepare
                cases=$((cases + 1))
                status=0
                faulted_run -e "inject=$call:error=$error:when=$nth" || status=$?
                finish
                problem=$(verdict)
                [ "$status" -ne 0 ] && problem="the faulted run ended with status $status; $problem"
                if [ -n "$problem" ]; then
                    unsound=$((unsound + 1))
                    echo "io-fault-walk: UNSOUND ($scenario run): $call fails with $error the time $nth: $problem" >&2
                fi
            done
        done
    done
done
echo "io-fault-walk: $cases cases, $unsound unsound"
[ "$unsound" -eq 0 ]
