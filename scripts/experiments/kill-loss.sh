#!/usr/bin/env bash
# What a kill costs: runs the real scheduler, headless, for a few minutes in a folder of its own with stand-ins
# for Velmora.exe and UpdateManager.exe that note every start, and two jobs due every minute; kills it with
# SIGKILL (as End Task, a crash or a power cut would end it), starts it again, and ends that start in order.
# Then counts the job starts that the stand-ins noted and the job lines that reached a daily log file.
#   scripts/experiments/kill-loss.sh [minutes] [program]     default: 4 minutes, build/bin/zorScheduler
set -euo pipefail
cd "$(dirname "$0")/../.."

minutes=${1:-4}
source scripts/experiments/real-program.sh
real_program_folder kill-loss "${2:-}" ProcessInternetOrders TransferPerson

echo "kill-loss: running $program for $minutes minutes (started $(date +%T))" >&2
"$folder/zorScheduler" 2>/dev/null &
scheduler=$!
sleep $((minutes * 60))
kill -KILL "$scheduler"
wait "$scheduler" 2>/dev/null || true

# The next start, through its start-up, then ended in order.
"$folder/zorScheduler" 2>/dev/null &
scheduler=$!
sleep 3
kill -TERM "$scheduler"
wait "$scheduler" || true
scheduler=

started=$(grep -c . "$folder/starts" 2>/dev/null || true)
logged=$(cat "$folder"/Temp/*.log "$folder"/state/zorScheduler/*.log 2>/dev/null |
    grep -a -c -E ': (Process Internet Orders|Transfer Person And Copoun executed)!' || true)
echo "kill-loss: $started job starts in $minutes minutes; $logged of their lines in the daily log files," \
    "$((started - logged)) lost"
