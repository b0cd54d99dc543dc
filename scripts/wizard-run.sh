# Sourced by main-job.sh and adb-demo.sh: runs the host application's backup
# wizard with its host settings, documents and the SDK's user data kept in an
# output folder, so a run leaves the user's own settings alone.
# Needs: $host (the backup-host program) and $out (the output folder).

# Exports the host's and the SDK's folders inside $out; sets $dest (where
# backups go) and $shots (where pictures of the pages go).
wizard_setup() {
    export PELORIX_HOST_SETTINGS="$out/host.ini"
    export PELORIX_HOST_DOCUMENTS="$out/documents"
    export PELORIX_HOST_LOG="$out/backup-host.log"
    export DVSK_SIM_USERDATA="$out/userdata/"
    mkdir -p "$DVSK_SIM_USERDATA" "$PELORIX_HOST_DOCUMENTS"
    dest="$out/backups"
    shots="$out/pictures"
}

# wizard_run DESCRIPTION PHONE_OPTION...: PHONE_OPTION names the phone
# (--device sim --phone DIR for the simulated phone, --device adb:SERIAL for a
# phone through adb; without one backup-host takes the one usable phone of
# the adb server). With a display ($DISPLAY or
# $WAYLAND_DISPLAY) opens the wizard's window; without one runs the wizard
# off screen on every item and saves pictures of its pages. The host's output
# goes to the terminal and $out/run.log. Sets $status to the host's exit
# status, and clears $shots when no pictures were taken.
wizard_run() {
    local what="$1"
    shift
    status=0
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
        echo "Opening the backup wizard on $what; backups go to $dest"
        echo "(the window's close button ends the run)"
        "$host" "$@" --dest "$dest" | tee "$out/run.log" || status=$?
        shots=""
    else
        echo "No display: running the backup wizard off screen on $what"
        "$host" --headless "$@" --dest "$dest" --items all --shots "$shots" \
            | tee "$out/run.log" || status=$?
    fi
}
