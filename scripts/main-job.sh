#!/usr/bin/env bash
# The main job: backs up the bundled sample phone through the backup wizard of
# the host application (backup-host). With a display ($DISPLAY or
# $WAYLAND_DISPLAY) the host's window opens and the user goes through the
# wizard; without one the wizard runs off screen, driven as a user would drive
# it, and pictures of its three pages are saved. Either way the job ends by
# saying where the package, the backup folder and the pictures are.
# Usage: scripts/main-job.sh [OUTPUT_DIR]   (build folder: $BUILD_DIR, default ./build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
host="$build/stage/bin/backup-host"
tool="$build/stage/bin/backuptool"
phone="$build/stage/samples/phone"
out="${1:-$PWD/main-job-output}"

if [ ! -x "$host" ]; then
    echo "main-job: $host not found; run scripts/build.sh first" >&2
    exit 1
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# The run keeps its host settings, documents and the SDK's user data inside
# the output folder, so the job leaves the user's own settings alone.
export PELORIX_HOST_SETTINGS="$out/host.ini"
export PELORIX_HOST_DOCUMENTS="$out/documents"
export PELORIX_HOST_LOG="$out/backup-host.log"
export DVSK_SIM_USERDATA="$out/userdata/"
mkdir -p "$DVSK_SIM_USERDATA" "$PELORIX_HOST_DOCUMENTS"
dest="$out/backups"
shots="$out/pictures"

status=0
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening the backup wizard on the sample phone ($phone); backups go to $dest"
    echo "(the window's close button ends the job)"
    "$host" --phone "$phone" --dest "$dest" | tee "$out/run.log" || status=$?
    shots=""
else
    echo "No display: running the backup wizard off screen on the sample phone ($phone)"
    "$host" --headless --phone "$phone" --dest "$dest" --items all --shots "$shots" \
        | tee "$out/run.log" || status=$?
fi

# The newest run in the destination (the headless summary names it as well).
package="$(sed -n 's/^Package: *//p' "$out/run.log" | tail -n 1)"
folder="$(sed -n 's/^Backup folder: *//p' "$out/run.log" | tail -n 1)"
if [ -z "$package" ] && [ -d "$dest" ]; then
    package="$(ls -1td "$dest"/backup_*.zip 2>/dev/null | head -n 1 || true)"
    [ -n "$package" ] && [ -d "${package%.zip}" ] && folder="${package%.zip}"
fi
echo
echo "Output folder:  $out"
echo "Package:        ${package:-none}"
echo "Backup folder:  ${folder:-none}"
if [ -n "$shots" ]; then
    echo "Pictures:       $shots ($(cd "$shots" 2>/dev/null && ls -1 *.png 2>/dev/null | paste -sd' ' -))"
fi
echo "Host log:       $PELORIX_HOST_LOG"
if [ -n "$package" ] && [ -f "$package" ] && [ -x "$tool" ]; then
    echo "Inspect it with: $tool list \"$package\""
fi
exit "$status"
