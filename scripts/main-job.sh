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

source scripts/wizard-run.sh
wizard_setup
wizard_run "the sample phone ($phone)" --device sim --phone "$phone"

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
