#!/usr/bin/env bash
# The main job: backs up the bundled sample phone with `backuptool run` into a
# folder of its own and says where the package and the backup folder are.
# Usage: scripts/main-job.sh [OUTPUT_DIR]   (build folder: $BUILD_DIR, default ./build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
tool="$build/stage/bin/backuptool"
phone="$build/stage/samples/phone"
out="${1:-$PWD/main-job-output}"

if [ ! -x "$tool" ]; then
    echo "main-job: $tool not found; run scripts/build.sh first" >&2
    exit 1
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# The run keeps its host settings and the SDK's user data inside the output
# folder, so the job leaves the user's own settings alone.
export PELORIX_HOST_SETTINGS="$out/host.ini"
export DVSK_SIM_USERDATA="$out/userdata/"
mkdir -p "$DVSK_SIM_USERDATA"
dest="$out/backups"

echo "Backing up the sample phone ($phone) into $dest"
status=0
"$tool" run --phone "$phone" --dest "$dest" --items all --verify | tee "$out/run.log" || status=$?

package="$(sed -n 's/^Package: *//p' "$out/run.log" | tail -n 1)"
folder="$(sed -n 's/^Backup folder: *//p' "$out/run.log" | tail -n 1)"
echo
echo "Output folder:  $out"
echo "Package:        ${package:-none}"
echo "Backup folder:  ${folder:-none}"
echo "Inspect it with: $tool list \"${package}\""
exit "$status"
