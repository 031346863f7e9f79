#!/usr/bin/env bash
# Real-time check of the minute tick: runs the real scheduler, headless, for a few minutes in a folder of its
# own, with a stand-in Velmora.exe that notes the moment and the parameters of every start, and only "Process
# Internet Orders" (due on every tick) ticked. Prints the second of the minute of each of its starts, the
# calendar minutes that got no start or more than one, and how far the start moved per minute.
#   scripts/experiments/tick-phase.sh [minutes] [program]     default: 10 minutes, build/bin/zorScheduler
set -euo pipefail
cd "$(dirname "$0")/../.."

minutes=${1:-10}
# Auto Start and the every-minute job only; the 11:50 backup is ticked at every start and may add a start.
source scripts/experiments/real-program.sh
real_program_folder tick-phase "${2:-}" ProcessInternetOrders

echo "Running $program for $minutes minutes (started $(date +%T))" >&2
"$folder/zorScheduler" 2>"$folder/stderr" &
scheduler=$!
# Half a minute more, so that a tick at any second of the last minute is seen.
sleep $((minutes * 60 + 35))
kill -TERM "$scheduler"
wait "$scheduler" || true
scheduler=

[ -s "$folder/starts" ] || {
    echo "tick-phase: no start was recorded" >&2
    cat "$folder/stderr" >&2
    exit 1
}
awk '
    $2 != ";;;;;;;;;;;;;;;True" { next }
    {
        t = $1; minute = int(t / 60); second = t - minute * 60
        count[minute]++
        if (++starts == 1) { first = minute; firstTime = t; lowest = second; highest = second }
        if (second < lowest) lowest = second
        if (second > highest) highest = second
        last = minute; lastTime = t
        printf "%s  second %6.3f\n", strftime("%H:%M:%S", int(t)), second
    }
    END {
        missed = 0; doubled = 0
        for (m = first; m <= last; m++) {
            if (!(m in count)) { missed++; printf "minute %s: no start\n", strftime("%H:%M", m * 60) }
            else if (count[m] > 1) { doubled++; printf "minute %s: %d starts\n", strftime("%H:%M", m * 60), count[m] }
        }
        n = last - first
        printf "%d starts in %d calendar minutes; %d without a start, %d with more than one\n", starts, n + 1, missed, doubled
        printf "every start between second %.3f and %.3f of its minute\n", lowest, highest
        if (starts > 1)
            printf "starts %.3f s apart on average: the phase moved %+.2f ms per minute\n", (lastTime - firstTime) / (starts - 1), ((lastTime - firstTime) / (starts - 1) - 60) * 1000
    }' "$folder/starts"
