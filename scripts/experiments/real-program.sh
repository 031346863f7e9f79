# Sourced by the scripts that run the real scheduler, headless, in a folder of its own (tick-phase.sh,
# kill-loss.sh).
#   real_program_folder <script name> <program, or empty for build/bin/zorScheduler> <ticked job setting>...
# Leaves in $folder a fresh folder, removed at exit together with the scheduler whose process id the script
# keeps in $scheduler, holding the program, its Temp, its own settings, state and runtime folders (settings:
# Auto Start, the named jobs ticked, the others not, the periods on one minute), and stand-ins for Velmora.exe and UpdateManager.exe that add a line "<seconds since
# the epoch> <parameters>" to $folder/starts for every start. Exports what the scheduler is to run with.
real_program_folder() {
    local name=$1
    program=$(realpath "${2:-build/bin/zorScheduler}")
    [ -x "$program" ] || {
        echo "$name: no program at $program; build it first" >&2
        exit 1
    }
    folder=$(mktemp -d "${TMPDIR:-/tmp}/zor-$name.XXXXXX")
    scheduler=
    trap '[ -n "$scheduler" ] && kill -KILL "$scheduler" 2>/dev/null; rm -rf "$folder"' EXIT
    mkdir -p "$folder/Temp" "$folder/config" "$folder/state" "$folder/runtime"
    chmod 700 "$folder/runtime"
    cp "$program" "$folder/zorScheduler"
    for standin in Velmora.exe UpdateManager.exe; do
        printf '#!/bin/sh\necho "$(date +%%s.%%N) $1" >>"%s/starts"\n' "$folder" >"$folder/$standin"
        chmod +x "$folder/$standin"
    done
    local job ticked
    {
        echo "[Settings]"
        echo "AutoStart=1"
        for job in CleanBackupDir ProcessInternetOrders RunUpdateManager SendSms TransferData TransferPerson; do
            ticked=0
            [[ " ${*:3} " == *" $job "* ]] && ticked=1
            echo "$job=$ticked"
        done
        echo "TransferDataInterval=0"
        echo "TransferPersonInterval=0"
    } >"$folder/config/zorScheduler.conf"
    export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$folder/config XDG_STATE_HOME=$folder/state
    export XDG_RUNTIME_DIR=$folder/runtime
}
