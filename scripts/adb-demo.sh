#!/usr/bin/env bash
# The whole real-phone path without a phone: starts a private adb server (on a
# free port, never the default 5037), the device simulator serving the bundled
# sample phone, connects the two, and runs the backup wizard against the phone
# through adb (backup-host --device adb:127.0.0.1:PORT). With a display the
# wizard's window opens; without one it runs off screen and pictures of its
# pages are saved. The package is then verified. Both the server and the
# simulator are stopped at the end.
# Usage: scripts/adb-demo.sh [OUTPUT_DIR]
#   (build folder: $BUILD_DIR, default ./build; another phone folder: $PHONE)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
stage="$(cd "$build/stage" 2>/dev/null && pwd || true)"
host="$stage/bin/backup-host"
tool="$stage/bin/backuptool"
sim="$stage/bin/adb-phone-sim"
phone="${PHONE:-$stage/samples/phone}"
out="${1:-$PWD/adb-demo-output}"

adb="$(command -v adb || true)"
if [ -z "$adb" ]; then
    echo "adb-demo: adb is not installed; run scripts/install-deps.sh" >&2
    exit 1
fi
if [ ! -x "$sim" ] || [ ! -x "$host" ]; then
    echo "adb-demo: $build/stage is not built; run scripts/build.sh first" >&2
    exit 1
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$out/adb"
rm -rf "$work"
mkdir -p "$work/home"

# A free port for the private adb server.
port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
server_port=$((20000 + RANDOM % 20000))
while port_in_use "$server_port"; do server_port=$((20000 + RANDOM % 20000)); done
export ANDROID_ADB_SERVER_PORT="$server_port"
unset ANDROID_SERIAL
# The private server takes only the simulator for a phone: no scan of the
# emulator ports 5555-5585, no mDNS.
export ADB_EMU=0 ADB_MDNS=0

server_pid=""
sim_pid=""
stop_all() {
    if [ -n "$server_pid" ]; then
        "$adb" -P "$server_port" kill-server >/dev/null 2>&1 || kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
}
trap stop_all EXIT

# The server keeps its key in $HOME/.android: a private home leaves the user's alone.
HOME="$work/home" "$adb" -P "$server_port" nodaemon server >"$work/adb-server.log" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
    port_in_use "$server_port" && break # "adb version" would answer without a server
    sleep 0.1
done

"$sim" --phone "$phone" --port-file "$work/sim-port" </dev/null >"$work/simulator.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim-port" ] && break; sleep 0.1; done
if [ ! -s "$work/sim-port" ]; then
    echo "adb-demo: the simulator did not start (see $work/simulator.log)" >&2
    exit 1
fi
serial="127.0.0.1:$(cat "$work/sim-port")"
"$adb" -P "$server_port" connect "$serial"
timeout 30 "$adb" -P "$server_port" -s "$serial" wait-for-device
echo "Phone $serial: $("$adb" -P "$server_port" -s "$serial" shell getprop ro.product.model)," \
     "adb server on port $server_port"

source scripts/wizard-run.sh
wizard_setup

if ! "$host" --help 2>&1 | grep -q -- '--device'; then
    echo "adb-demo: this build's backup-host has no --device option (the adb back end is missing)" >&2
    exit 1
fi

wizard_run "the phone $serial" --device "adb:$serial"

package="$(ls -1td "$dest"/backup_*.zip 2>/dev/null | head -n 1 || true)"
echo
echo "Output folder:  $out"
echo "Package:        ${package:-none}"
[ -n "$package" ] && [ -d "${package%.zip}" ] && echo "Backup folder:  ${package%.zip}"
[ -n "$shots" ] && echo "Pictures:       $shots"
echo "Logs:           $PELORIX_HOST_LOG $work/simulator.log $work/adb-server.log"
if [ -n "$package" ]; then
    "$tool" verify "$package" || status=$?
fi
exit "$status"
