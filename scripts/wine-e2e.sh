#!/usr/bin/env bash
# End-to-end run of the real zorScheduler.exe under Wine, as an operator of a Persian Windows (code page 1256)
# would run it: its window on an X display of its own (Xvfb), a throw-away Wine prefix, settings in the
# registry, and Windows stand-ins for Velmora.exe and UpdateManager.exe beside it that note every start.
# Once three ticks have started their programs it closes the window, answers the close question Yes through
# the real dialog, and checks the daily log file: CR LF line ends, the code page's bytes, and one tick in every
# minute from the one after the program logged Timer Started (so a slow first start under Wine is no fault);
# then the starts of those ticks and their command lines as Windows delivers them. Before closing, Velmora.exe
# is taken away for a last tick, whose starts fail. Every stand-in ends with exit code 3, and the events the
# program reports to the Application log (Wine writes their strings to its eventlog debug channel) must show
# a job's start, a failed start and a job's end with that code. Takes pictures of the window and of the close
# question on the way.
#   scripts/wine-e2e.sh <Windows build folder> [picture folder]     the build of scripts/windows-build.sh
set -euo pipefail

build=$(cd "${1:?the Windows build folder}" && pwd)
pictures=${2:-}
program=$build/bin/zorScheduler.exe
standin=$build/tests/bin/zor_standin.exe
# The message compiler's header: the event IDs of the program's message table by their names.
event_ids=$build/src/app/events/zorSchedulerEvents.h
for file in "$program" "$standin" "$event_ids"; do
    [ -f "$file" ] || {
        echo "wine-e2e: $file is missing; build it with scripts/windows-build.sh" >&2
        exit 1
    }
done

source "$(dirname "$0")/wine.sh"
source "$(dirname "$0")/display.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/zor-e2e.XXXXXX")
cleanup() {
    wine_end
    display_end
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "wine-e2e: FAILED: $*" >&2
    [ -f "$work/app/scheduler.err" ] && tail -20 "$work/app/scheduler.err" >&2
    exit 1
}

# The Persian locale gives Wine the code page 1256 and the operator's date format.
export LC_ALL=fa_IR.UTF-8
unset WAYLAND_DISPLAY

# A display of its own; any wineserver of an earlier run (one without a display would keep windows from
# opening) is gone with the prefix.
display_start 1280x800 || fail "no X display"
wine_prefix "$work"

# The program with its Temp folder and the two stand-ins, as the zip is unpacked beside the real programs.
app=$work/app
mkdir -p "$app/Temp"
cp "$program" "$app/zorScheduler.exe"
cp "$standin" "$app/Velmora.exe"
cp "$standin" "$app/UpdateManager.exe"

# Settings as an operator leaves them in the registry: Auto Start; persons and coupons every minute, Internet
# orders, the updater every five minutes; and one value damaged by hand, in Persian, that the pane names.
key='HKEY_CURRENT_USER\Software\VB and VBA Program Settings\zorScheduler\Settings'
for setting in AutoStart=1 TransferPerson=1 TransferPersonInterval=0 ProcessInternetOrders=1 RunUpdateManager=1 \
    SendSms=0 TransferData=0 CleanBackupDir=بله; do
    "$wine" reg add "$key" /v "${setting%%=*}" /t REG_SZ /d "${setting#*=}" /f >/dev/null 2>&1 ||
        fail "reg add $setting"
done

# Three ticks that take in a minute the updater is due in, also when Wine's first start is slow and the timer
# starts a minute after the program: the run starts when the minute is 2 or 3 past a multiple of five.
until [ $((10#$(date +%M) % 5)) -eq 2 ] || [ $((10#$(date +%M) % 5)) -eq 3 ]; do sleep 5; done
started=$(date +%s)
echo "wine-e2e: starting the scheduler at $(date +%T)"
# The stand-ins end as a failed program would. Wine's ReportEventW prints the event ID in an advapi fixme and
# each string on the eventlog channel.
export ZOR_STANDIN_EXIT_CODE=3
(cd "$app" && WINEDEBUG="$WINEDEBUG,+eventlog,fixme+advapi" exec "$wine" zorScheduler.exe >"$app/scheduler.out" \
    2>"$app/scheduler.err") &
scheduler=$!

# A picture of one window, into the picture folder when one was named. Taken of the window itself: a grab of
# the whole screen has shown Wine's dialogs black.
keep_picture() {
    [ -n "$pictures" ] || return 0
    picture "$1" "$pictures/$2"
    echo "wine-e2e: picture $pictures/$2"
}

window=$(await_window '^Zor Scheduler   Version 1\.0\.5$')
[ -n "$window" ] || fail "the window did not open"

# Until three ticks are past, however late the timer started: each tick starts Internet orders once. Then a
# few seconds for the rest of the third tick's starts.
orders_started() {
    local count
    count=$(grep -s -c -F ';;;;;;;;;;;;;;;True' "$app/Velmora.exe.starts") || true
    echo "${count:-0}"
}
until [ "$(orders_started)" -ge 3 ]; do
    [ $(($(date +%s) - started)) -lt 420 ] || fail "$(orders_started) ticks in the first seven minutes"
    sleep 1
done
sleep 10

# A last tick without Velmora.exe: its starts fail. Ticks fall at second 30 of their minute; waited for until
# the next minute's is well past.
mv "$app/Velmora.exe" "$app/Velmora.exe.away"
taken_away=$(date +%s)
until [ $(($(date +%s) / 60)) -gt $((taken_away / 60)) ] && [ $((10#$(date +%S))) -ge 50 ]; do sleep 1; done

keep_picture "$window" window-windows.png

# Close the window as an operator would, with Alt+F4; the close question must come, in Persian.
xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4
question=$(await_window '^اخطار$')
[ -n "$question" ] || fail "closing the window asked no question"
sleep 1
keep_picture "$question" close-question-windows.png
# Yes is the default button: Enter answers it.
xdotool windowfocus --sync "$question" key --clearmodifiers Return
for _ in $(seq 60); do
    kill -0 "$scheduler" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$scheduler" 2>/dev/null && fail "the program did not end after Yes"
echo "wine-e2e: the close question was answered Yes and the program ended"

# The daily log file holds the pane, and so the minutes the program itself stamped: Timer Started, and each
# tick's Internet orders line. Its date-time text is the locale's, with ASCII digits; only the minute of the
# hour is read from it ("H:mm:ss"), and placed in the hour from the moment the program was launched.
log=$(find "$app/Temp" -name 'zorScheduler-LOG-*.log')
[ "$(echo "$log" | wc -l)" -eq 1 ] && [ -n "$log" ] || fail "no daily log file in Temp"
stamped=$({ grep -a -o -E '[0-9]{1,2}:[0-9]{2}:[0-9]{2}[^:]*: (Timer Started|Process Internet Orders)!' "$log" ||
    true; } | sed -E 's/^[0-9]+:([0-9]{2}):.*: (Timer|Process) .*/\1 \2/' | tac)
read -r timer_minute first_line <<<"$stamped"
[ "$first_line" = Timer ] || fail "the log file does not start with the line of Start: ${stamped//$'\n'/, }"
timer_started=$((started / 60 * 60))
while [ "$(date -d "@$timer_started" +%M)" != "$timer_minute" ]; do
    timer_started=$((timer_started + 60))
    [ $((timer_started - started)) -lt 3600 ] || fail "Start's minute $timer_minute is not within the hour"
done
echo "wine-e2e: the timer started in the minute $(date -d "@$timer_started" +%H:%M)"

# One tick in every minute from the one after Start's on, none skipped or doubled; the updater in those whose
# minute is a multiple of five.
ticks=0
updater=0
while read -r minute line; do
    [ "$line" = Process ] || continue
    ticks=$((ticks + 1))
    expected=$(date -d "@$((timer_started + 60 * ticks))" +%M)
    [ "$minute" = "$expected" ] ||
        fail "tick $ticks fell in minute $minute of the hour, not $expected: ${stamped//$'\n'/, }"
    if [ $((10#$minute % 5)) -eq 0 ]; then updater=$((updater + 1)); fi
done <<<"$stamped"
[ "$ticks" -ge 3 ] || fail "only $ticks ticks in the log file"

# The ticks after Velmora.exe was taken away could not start it: each says so for both of its jobs.
failed=0
for tick in $(seq "$ticks"); do
    [ $((timer_started + 60 * tick + 30)) -gt "$taken_away" ] && failed=$((failed + 1))
done
[ "$failed" -ge 1 ] || fail "no tick came after Velmora.exe was taken away"
[ "$(grep -a -c -F ': Start failed: File not found (53) ' "$log")" -eq $((2 * failed)) ] ||
    fail "the log file does not hold the two failed starts of each of the last $failed ticks"

# The starts: in each of the ticked minutes with Velmora.exe, exactly the due jobs, with their parameter strings
# as the command line's tail, in the scheduler's own folder.
check_starts() {
    local file=$1 exe=$2 parameters=$3 minutes=$4 count
    count=$(grep -c -F -x -e "$exe $parameters" <(cut -f3 "$app/$file.starts" 2>/dev/null | tr -d '\r') || true)
    [ "$count" -eq "$minutes" ] || fail "$file started $count times with '$parameters', not $minutes"
}
velmora="\"Z:${app//\//\\}\\Velmora.exe\""
updater_exe="\"Z:${app//\//\\}\\UpdateManager.exe\""
check_starts Velmora.exe "$velmora" ';;;;;;;;;;True' $((ticks - failed))
check_starts Velmora.exe "$velmora" ';;;;;;;;;;;;;;;True' $((ticks - failed))
check_starts UpdateManager.exe "$updater_exe" 'True' "$updater"
cut -f2 "$app/Velmora.exe.starts" | sort -u | grep -q -x -F "Z:${app//\//\\}" ||
    fail "the started programs did not inherit the scheduler's folder as theirs"
echo "wine-e2e: $((2 * (ticks - failed) + updater)) starts in $ticks minutes, each with its exact parameter string;" \
    "$((2 * failed)) failed"

# The daily log file: one entry, CR LF throughout, the pane's lines newest first, the Persian value in the
# bytes of code page 1256 (beh, lam, heh).
[ "$(basename "$log")" = "zorScheduler-LOG-$(date +%F).log" ] || fail "the log file is named $(basename "$log")"
lines=$(tr -cd '\n' <"$log" | wc -c)
crlf=$(grep -c $'\r$' "$log" || true)
[ "$lines" -eq "$crlf" ] || fail "$((lines - crlf)) of the log file's $lines lines do not end in CR LF"
grep -q -F $'\xc8\xe1\xe5' "$log" || fail "the Persian value is not in the file in code page 1256"
[ "$(grep -c -F ': Update Manager Started!' "$log")" -eq "$updater" ] || fail "the log file lacks updater lines"
# Each tick's lines stand in the reverse of table order: the updater, then orders, then persons.
grep -a -o -E ': (Update Manager Started|Process Internet Orders|Transfer Person And Copoun executed)!' "$log" |
    tr -d ':!' | awk '{print $1}' | tr '\n' ' ' | grep -q -E '^((Update )?Process Transfer )+$' ||
    fail "the lines of a tick are not in table order, newest first"
echo "wine-e2e: the pane went to $(basename "$log"): $lines lines, CR LF, code page 1256"

# The Application log's events, one a line: the event ID as the advapi fixme gives it (one per ReportEventW, on
# the thread that reports), then each string on that thread's following eventlog lines, separated by TABs.
events=$work/events.txt
awk -F: '
    { thread = $1 }
    /:fixme:advapi:ReportEventW \(/ { split($0, call, ","); id[thread] = call[4]; next }
    /:eventlog:ReportEventW L"/ && (thread in id) {
        text = $0; sub(/^[^"]*/, "", text); line[thread] = line[thread] "\t" text
        if (++strings[thread] == 2) { print id[thread] line[thread]; delete id[thread]; delete line[thread]
            strings[thread] = 0 }
    }' "$app/scheduler.err" >"$events"
# The events of a kind (its name in the message table), and of those the ones that match every pattern given.
events_of() {
    local id found
    id=$(sed -n -E "s/^#define $1 +(0x[0-9a-f]+)\r?\$/\1/p" "$event_ids")
    [ -n "$id" ] || fail "$event_ids has no event $1"
    found=$(grep -i "^$id"$'\t' "$events" || true)
    shift
    for pattern; do found=$(grep -E -e "$pattern" <<<"$found" || true); done
    echo "$found"
}
[ -n "$(events_of ProgramStarted)" ] || fail "no ProgramStarted event"
[ -n "$(events_of JobStarted 'PARAMETERS=;{15}True' 'PROCESS_ID=[1-9]')" ] ||
    fail "no JobStarted event of Internet orders with its process id"
[ -n "$(events_of JobStartFailed 'Velmora\.exe')" ] || fail "no JobStartFailed event for Velmora.exe"
[ -n "$(events_of JobEndedWithError 'EXIT_CODE=3([^0-9]|$)')" ] || fail "no JobEndedWithError event with exit code 3"
[ -n "$(events_of ProgramEnded)" ] || fail "no ProgramEnded event"
echo "wine-e2e: $(wc -l <"$events") events in the Application log, among them:"
for kind in JobStarted JobStartFailed JobEndedWithError; do
    found=$(events_of "$kind")
    echo "    ${found%%$'\n'*}"
done
echo "wine-e2e: passed"
