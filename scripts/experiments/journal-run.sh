#!/usr/bin/env bash
# The system log as the journal receives it from the real scheduler: runs it, headless, as root in a mount
# namespace of its own whose /run/systemd/journal/socket is read by a small catcher, with two jobs due every
# minute and a Velmora.exe stand-in that ends with exit code 3. After the first tick's starts the stand-in is
# removed, so the second tick's starts fail; then the scheduler is ended with SIGTERM. Prints every event the
# journal received, one JSON object a line, as `journalctl -o json` would show the fields the program sent.
#   scripts/experiments/journal-run.sh [program]     default: build/bin/zorScheduler
set -euo pipefail
cd "$(dirname "$0")/../.."

if [ -z "${ZOR_JOURNAL_RUN_INSIDE:-}" ]; then
    exec unshare -m env ZOR_JOURNAL_RUN_INSIDE=1 "$0" "$@"
fi
mount --make-rprivate /
place=/run/systemd
[ -d "$place" ] || place=/run
mount -t tmpfs tmpfs "$place"
mkdir -p /run/systemd/journal

source scripts/experiments/real-program.sh
real_program_folder journal-run "${1:-}" ProcessInternetOrders TransferPerson
printf '#!/bin/sh\necho "$(date +%%s.%%N) $1" >>"%s/starts"\nexit 3\n' "$folder" >"$folder/Velmora.exe"

python3 - "$folder/events" <<'PYTHON' &
import json, socket, struct, sys
receiver = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
receiver.bind("/run/systemd/journal/socket")
with open(sys.argv[1], "a") as out:
    while True:
        data, fields, at = receiver.recv(1 << 16), {}, 0
        while at < len(data):
            end = data.index(b"\n", at)
            line = data[at:end]
            if b"=" in line:
                name, value = line.split(b"=", 1)
                at = end + 1
            else:
                size = struct.unpack("<Q", data[end + 1:end + 9])[0]
                name, value, at = line, data[end + 9:end + 9 + size], end + 10 + size
            fields[name.decode()] = value.decode(errors="replace")
        out.write(json.dumps(fields, ensure_ascii=False) + "\n")
        out.flush()
PYTHON
catcher=$!
trap '[ -n "$scheduler" ] && kill -KILL "$scheduler" 2>/dev/null; kill "$catcher" 2>/dev/null; rm -rf "$folder"' EXIT
while [ ! -S /run/systemd/journal/socket ]; do sleep 0.1; done

echo "journal-run: running $program until two ticks have passed (started $(date +%T))" >&2
"$folder/zorScheduler" &
scheduler=$!
until grep -q '"EVENT_ID": "23"' "$folder/events" 2>/dev/null; do sleep 1; done
rm "$folder/Velmora.exe"
until grep -q '"EVENT_ID": "21"' "$folder/events" 2>/dev/null; do sleep 1; done
kill -TERM "$scheduler"
wait "$scheduler" || true
scheduler=
sleep 1
cat "$folder/events"
