#!/usr/bin/env bash
# Starts the real scheduler, headless, the ways that could make two run at once or end it by a signal's
# default action, and counts the outcomes:
#   race N          N rounds: a first start held in its flock() for 300 ms (strace), a second start meanwhile;
#                   how many rounds ended with one scheduler running, how many with two
#   simultaneous N  N rounds of five starts at once; rounds by how many still ran after 1.5 s
#   early N         N starts, each sent SIGTERM at a random moment of its first 50 ms; how many ended in order
#                   (status 0) and how many by the signal's default action, by the moment's 10 ms slice
#   sigpipe         a start that warns on a standard error whose reader is gone; whether it runs on
#   scripts/experiments/start-races.sh <race|simultaneous|early|sigpipe> [N] [program]    default program: build/bin/zorScheduler
set -euo pipefail
cd "$(dirname "$0")/../.."

what=${1:?race, simultaneous, early or sigpipe}
rounds=${2:-20}
program=$(realpath "${3:-build/bin/zorScheduler}")
work=$(mktemp -d "${TMPDIR:-/tmp}/zor-races.XXXXXX")
trap 'pkill -KILL -f "^$program" 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
mkdir -p -m 700 "$XDG_CONFIG_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
lock=$XDG_RUNTIME_DIR/zorScheduler.lock

# How many schedulers of this program run now.
running() { pgrep -c -f "^$program\$" || true; }
end_all() {
    pkill -TERM -f "^$program\$" || true
    while [ "$(running)" -gt 0 ]; do sleep 0.05; done
}

# Rounds by how many schedulers ran at their end: count_rounds <seconds> <command...> runs the command
# (which starts the schedulers) each round, waits the seconds, counts, then ends them all.
declare -A outcome=()
count_rounds() {
    local settle=$1
    shift
    for ((round = 0; round < rounds; round++)); do
        "$@"
        sleep "$settle"
        outcome[$(running)]=$((${outcome[$(running)]:-0} + 1))
        end_all
        wait
    done
    for n in "${!outcome[@]}"; do printf '%s: %s  ' "$n" "${outcome[$n]}"; done
}

case $what in
race)
    command -v strace >/dev/null || {
        echo "start-races: strace is needed" >&2
        exit 1
    }
    held_start() {
        rm -f "$lock"
        strace -f -o /dev/null -e inject=flock:delay_enter=300000:when=1 "$program" >/dev/null 2>&1 &
        until [ -e "$lock" ]; do sleep 0.002; done
        "$program" >/dev/null 2>&1 &
    }
    echo "race: $rounds rounds; rounds by schedulers running: $(count_rounds 2 held_start)"
    ;;
simultaneous)
    five_starts() { for _ in 1 2 3 4 5; do "$program" >/dev/null 2>&1 & done; }
    echo "simultaneous: $rounds rounds of 5 starts; rounds by schedulers running: $(count_rounds 1.5 five_starts)"
    ;;
early)
    declare -A ended=() killed=()
    for ((start = 0; start < rounds; start++)); do
        delay=$((RANDOM % 50))
        "$program" 2>/dev/null &
        pid=$!
        sleep "0.0$(printf %02d "$delay")"
        kill -TERM "$pid" 2>/dev/null || true
        status=0
        wait "$pid" || status=$?
        slice=$((delay / 10 * 10))
        if [ "$status" -eq 0 ]; then ended[$slice]=$((${ended[$slice]:-0} + 1)); else killed[$slice]=$((${killed[$slice]:-0} + 1)); fi
    done
    echo "early: $rounds starts, SIGTERM at 0-49 ms; by slice, killed by the default action / all:"
    for slice in 0 10 20 30 40; do
        echo "  $slice-$((slice + 9)) ms: ${killed[$slice]:-0} / $((${killed[$slice]:-0} + ${ended[$slice]:-0}))"
    done
    ;;
sigpipe)
    mkdir -p "$lock/inside"
    # Standard error is a pipe whose reader has gone before the program writes its warning.
    "$program" 2> >(exit 0) &
    pid=$!
    sleep 1.5
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        status=0
        wait "$pid" || status=$?
        echo "sigpipe: still running after 1.5 s; on SIGTERM it ended with status $status"
    else
        status=0
        wait "$pid" || status=$?
        echo "sigpipe: it ended by itself, status $status (141 is SIGPIPE)"
    fi
    ;;
*)
    echo "start-races: race, simultaneous, early or sigpipe" >&2
    exit 2
    ;;
esac
