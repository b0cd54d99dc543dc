#!/usr/bin/env bash
# The fault matrix: runs the built tools as a user would against full and
# read-only disks, two backups at once, signals, a phone over adb that stops
# answering and the run after it, names and paths only a phone has (long,
# not UTF-8, deep), and corrupted packages, and prints one row per case:
# the case, the exit status, what was left behind and the verdict. Exits
# non-zero when any row fails.
#
#   tests/fault-matrix.sh [BUILD_DIR]      (default: build)
#
# The disk rows mount small tmpfs file systems and need root; without root
# they are skipped with a message.
set -uo pipefail

BUILD=$(cd "${1:-build}" && pwd)
TOOL="$BUILD/stage/bin/backuptool"
SAMPLE="$BUILD/stage/samples/phone"
if [[ ! -x "$TOOL" || ! -d "$SAMPLE" ]]; then
    echo "fault-matrix: no built backuptool or sample phone under $BUILD" >&2
    exit 2
fi

WORK=$(mktemp -d /tmp/fault-matrix.XXXXXX)
MOUNTS=()
PIDS=()
cleanup() {
    stop_sims
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    for mnt in "${MOUNTS[@]}"; do umount -l "$mnt" 2>/dev/null; done
    rm -rf "$WORK"
}
# Simulators are started inside $(...), so their ids go through a file.
stop_sims() {
    [[ -f "$WORK/sims.pid" ]] || return 0
    while read -r pid; do kill "$pid" 2>/dev/null; done <"$WORK/sims.pid"
    rm -f "$WORK/sims.pid"
}
trap cleanup EXIT

# Every run gets the same private settings, documents and SDK data folder.
export PELORIX_HOST_SETTINGS="$WORK/host.ini"
export PELORIX_HOST_DOCUMENTS="$WORK/documents"
export DVSK_SIM_USERDATA="$WORK/userdata/"
# Every run backs up the simulated sample phone (or the phone folder named).
export DVSK_DEVICE=sim
export QT_QPA_PLATFORM=offscreen

FAILED=0
printf '%-34s %-6s %-46s %s\n' "CASE" "EXIT" "LEFT BEHIND" "VERDICT"
row() { # case exit left verdict
    printf '%-34s %-6s %-46s %s\n' "$1" "$2" "${3:0:46}" "$4"
    [[ "$4" == FAIL* ]] && FAILED=1
}
skip() {
    printf '%-34s %-6s %-46s %s\n' "$1" "-" "-" "SKIPPED ($2)"
}
# What a folder holds, in one short line.
left() {
    local dir=$1
    if [[ ! -d "$dir" ]]; then echo "nothing"; return; fi
    local list
    list=$(cd "$dir" && find . -mindepth 1 -maxdepth 1 ! -name '.filler' -printf '%f(%s) ' | sed 's/ $//')
    echo "${list:-nothing}"
}
tmpzips() { find "$WORK/userdata" -maxdepth 1 -name '*.zip' 2>/dev/null | wc -l; }
phone() { # name -> a copy of the sample phone
    cp -r "$SAMPLE" "$WORK/$1"
    echo "$WORK/$1"
}
mount_tmpfs() { # dir size [ro]
    mkdir -p "$1"
    mount -t tmpfs -o "size=$2${3:+,ro}" tmpfs "$1" || return 1
    MOUNTS+=("$1")
}
# The packages a destination holds, each verified: "sound", "NOT sound" or "none".
packages() {
    local verdict="none" pkg
    for pkg in "$1"/backup_*.zip; do
        [[ -e "$pkg" ]] || continue
        if "$TOOL" verify "$pkg" >/dev/null 2>&1; then verdict="sound"; else echo "NOT sound"; return; fi
    done
    echo "$verdict"
}

IS_ROOT=0
[[ $(id -u) -eq 0 ]] && IS_ROOT=1

# --- disks ---------------------------------------------------------------
if [[ $IS_ROOT -eq 1 ]]; then
    # A destination full from the start.
    mount_tmpfs "$WORK/full" 256k && {
        head -c 262144 /dev/zero > "$WORK/full/.filler" 2>/dev/null
        "$TOOL" run --dest "$WORK/full/dest" --items contacts,messages,other >"$WORK/full.out" 2>&1
        st=$?
        pk=$(packages "$WORK/full/dest")
        if [[ $st -ne 0 && $pk != "NOT sound" && $(tmpzips) -eq 0 ]]; then v=PASS; else v="FAIL (package $pk)"; fi
        row "disk full before the run" "$st" "$(left "$WORK/full/dest")" "$v"
    }
    # A destination that fills during the run (media do not fit).
    mount_tmpfs "$WORK/fills" 600k && {
        "$TOOL" run --dest "$WORK/fills" --items all --verify >"$WORK/fills.out" 2>&1
        st=$?
        pk=$(packages "$WORK/fills")
        if [[ $st -ne 0 && $pk != "NOT sound" ]] && grep -q "Failed:" "$WORK/fills.out"; then v=PASS; else v="FAIL (package $pk)"; fi
        row "disk fills during the run" "$st" "$(left "$WORK/fills")" "$v"
    }
    # A read-only destination: refused before the phone is read.
    mount_tmpfs "$WORK/ro" 64k ro && {
        "$TOOL" run --dest "$WORK/ro" --items contacts >"$WORK/ro.out" 2>&1
        st=$?
        if [[ $st -eq 1 ]] && grep -q "cannot write into the destination" "$WORK/ro.out" \
            && ! grep -q "Counting" "$WORK/ro.out"; then v=PASS; else v=FAIL; fi
        row "read-only destination" "$st" "$(left "$WORK/ro")" "$v"
    }
else
    skip "disk full before the run" "needs root for tmpfs"
    skip "disk fills during the run" "needs root for tmpfs"
    skip "read-only destination" "needs root for tmpfs"
fi

# --- two backups at once -------------------------------------------------
A=$(phone phoneA)
B=$(phone phoneB)
printf 'itemDelayMs=30\n' >> "$A/phone.ini"
# The second phone has other contacts: a package that mixed the two shows it.
sed -i -e 's/^name=Corvo X5$/name=Other Phone/' -e '0,/^count=40$/s//count=7/' "$B/phone.ini"
"$TOOL" run --phone "$A" --dest "$WORK/destA" --items contacts,messages --verify >"$WORK/a.out" 2>&1 &
PA=$!
PIDS+=("$PA")
for _ in $(seq 1 200); do grep -q "Counting" "$WORK/a.out" && break; sleep 0.05; done
"$TOOL" run --phone "$B" --dest "$WORK/destB" --items contacts,messages >"$WORK/b.out" 2>&1
stB=$?
wait "$PA"
stA=$?
PIDS=()
listA=$("$TOOL" list "$WORK"/destA/backup_*.zip 2>/dev/null)
devA=$(sed -n 's/^Phone: *//p' <<<"$listA")
if [[ $stB -eq 1 ]] && grep -q "another backup" "$WORK/b.out"; then vB=PASS; else vB=FAIL; fi
if [[ $stA -eq 0 && $devA == "Corvo X5"* ]] && grep -Eq "contacts +40$" <<<"$listA"; then vA=PASS
else vA="FAIL (device $devA)"; fi
row "concurrent run: the first" "$stA" "$(left "$WORK/destA")" "$vA"
row "concurrent run: the second" "$stB" "$(left "$WORK/destB")" "$vB"

# --- signals ---------------------------------------------------------------
S=$(phone phoneSlow)
printf 'rateLimitKBps=512\n' >> "$S/phone.ini"
for sig in INT TERM HUP; do
    dest="$WORK/sig$sig"
    "$TOOL" run --phone "$S" --dest "$dest" --items contacts,media >"$WORK/sig$sig.out" 2>&1 &
    pid=$!
    PIDS+=("$pid")
    for _ in $(seq 1 400); do grep -q "images 1/" "$WORK/sig$sig.out" && break; sleep 0.05; done
    kill -s "$sig" "$pid"
    wait "$pid"
    st=$?
    PIDS=()
    if [[ $st -eq 130 && $(left "$dest") == nothing && $(tmpzips) -eq 0 ]]; then v=PASS; else v=FAIL; fi
    row "SIG$sig during the copying" "$st" "$(left "$dest")" "$v"
done
"$TOOL" run --dest "$WORK/pipe" --items contacts 2>/dev/null | head -c 1 >/dev/null
st=${PIPESTATUS[0]}
if [[ $st -eq 0 && $(packages "$WORK/pipe") == sound ]]; then v=PASS; else v=FAIL; fi
row "output piped into head" "$st" "$(left "$WORK/pipe")" "$v"

# --- a phone over adb: a stall, then the run that finishes the backup --------
SIM="$BUILD/stage/bin/adb-phone-sim"
if command -v adb >/dev/null && [[ -x "$SIM" ]]; then
    export ANDROID_ADB_SERVER_PORT=$((20000 + RANDOM % 20000))
    ADBHOME="$WORK/adbhome"
    mkdir -p "$ADBHOME"
    # no emulator-port or mDNS scan: only the simulator is a phone
    export ADB_EMU=0 ADB_MDNS=0
    HOME="$ADBHOME" adb start-server >/dev/null 2>&1
    P=$(phone phoneAdb)
    start_sim() { # options... -> serial, connected
        rm -f "$WORK/sim.port"
        "$SIM" --phone "$P" --port 0 --port-file "$WORK/sim.port" "$@" </dev/null >>"$WORK/sim.log" 2>&1 &
        echo "$!" >>"$WORK/sims.pid"
        # Polls for the simulator's port file: on a loaded machine its first
        # start can take many seconds, so allow up to a minute.
        for _ in $(seq 1 1200); do [[ -s "$WORK/sim.port" ]] && break; sleep 0.05; done
        local serial="127.0.0.1:$(cat "$WORK/sim.port")"
        HOME="$ADBHOME" adb connect "$serial" >/dev/null 2>&1
        HOME="$ADBHOME" adb -s "$serial" wait-for-device >/dev/null 2>&1
        echo "$serial"
    }
    serial=$(start_sim --stall-after-files 2)
    DVSK_ADB_STALL_SECONDS=3 "$TOOL" run --device "adb:$serial" --dest "$WORK/adbdest" --items media \
        >"$WORK/stall.out" 2>&1
    st=$?
    kept=$(find "$WORK/adbdest" -name INTERRUPTED.txt 2>/dev/null | wc -l)
    if [[ $st -eq 4 && $kept -eq 1 && $(packages "$WORK/adbdest") == none ]] \
        && grep -q "Backup interrupted: [0-9]* files kept" "$WORK/stall.out"; then v=PASS; else v=FAIL; fi
    row "adb: phone stops answering" "$st" "$(left "$WORK/adbdest")" "$v"
    cut=$(dirname "$(find "$WORK/adbdest" -name INTERRUPTED.txt 2>/dev/null | head -n 1)")
    "$TOOL" verify "$cut.zip" >"$WORK/cut.out" 2>&1
    st=$?
    if [[ $st -eq 1 ]] && grep -q "is an interrupted backup, not a complete backup" "$WORK/cut.out" \
        && ! grep -q "is sound" "$WORK/cut.out"; then v=PASS; else v=FAIL; fi
    row "adb: verify of the cut backup" "$st" "interrupted, not sound" "$v"
    serial=$(start_sim)
    "$TOOL" run --device "adb:$serial" --dest "$WORK/adbdest" --items media --verify >"$WORK/resume.out" 2>&1
    st=$?
    kept=$(find "$WORK/adbdest" -name INTERRUPTED.txt 2>/dev/null | wc -l)
    if [[ $st -eq 0 && $kept -eq 0 && $(packages "$WORK/adbdest") == sound ]] \
        && grep -Eq "[1-9][0-9]* reused" "$WORK/resume.out"; then v=PASS; else v=FAIL; fi
    row "adb: the next run finishes it" "$st" "$(left "$WORK/adbdest")" "$v"
    # Names and paths a phone allows: a 250-byte name, a name that is not
    # UTF-8 beside a real one holding U+FFFD, 70 levels, a 1,117-byte path.
    N=$(phone phoneNames)
    long=$(printf 'n%.0s' $(seq 1 246)).jpg
    deep="$N/fs/sdcard/Deep$(printf '/d%.0s' $(seq 1 70))"
    far="$N/fs/sdcard/Long"
    for c in a b c d e; do far="$far/$(printf "$c%.0s" $(seq 1 220))"; done
    mkdir -p "$N/fs/sdcard/DCIM" "$deep" "$far"
    echo long >"$N/fs/sdcard/DCIM/$long"
    echo real >"$N/fs/sdcard/DCIM/caf"$'\xef\xbf\xbd'".jpg"
    echo latin1 >"$N/fs/sdcard/DCIM/latin1.jpg"
    echo low >"$deep/low.jpg"
    echo far >"$far/far.jpg"
    echo "rawNames=/sdcard/DCIM/latin1.jpg=636166e92e6a7067" >>"$N/phone.ini"
    serial=$(P="$N" start_sim)
    "$TOOL" run --device "adb:$serial" --dest "$WORK/namesdest" --items media >"$WORK/names.out" 2>&1
    st=$?
    image=$(find "$WORK/namesdest" -mindepth 2 -maxdepth 2 -name Image | head -n 1)
    found=0
    for pair in "$long:long" "caf"$'\xef\xbf\xbd'".jpg:real" "caf"$'\xef\xbf\xbd'" (2).jpg:latin1" \
        low.jpg:low far.jpg:far; do
        [[ "$(cat "$image/${pair%:*}" 2>/dev/null)" == "${pair##*:}" ]] && found=$((found + 1))
    done
    if [[ $st -eq 0 && $found -eq 5 && $(packages "$WORK/namesdest") == sound ]]; then v=PASS; else v=FAIL; fi
    row "adb: odd names, long/deep paths" "$st" "$found of 5 files with their bytes" "$v"
    stop_sims
    HOME="$ADBHOME" adb kill-server >/dev/null 2>&1
else
    skip "adb: phone stops answering" "adb or adb-phone-sim missing"
    skip "adb: verify of the cut backup" "adb or adb-phone-sim missing"
    skip "adb: the next run finishes it" "adb or adb-phone-sim missing"
fi

# --- corrupted packages ------------------------------------------------------
GOOD=$(ls "$WORK"/destA/backup_*.zip 2>/dev/null | head -n 1)
if [[ -n "$GOOD" ]]; then
    size=$(stat -c %s "$GOOD")
    cp "$GOOD" "$WORK/flipped.zip"
    perl -e 'open(my $f, "+<", $ARGV[0]) or die; seek($f, $ARGV[1], 0); read($f, my $b, 1);
             seek($f, $ARGV[1], 0); print $f chr(ord($b) ^ 1);' "$WORK/flipped.zip" $((size / 2))
    head -c $((size - 20)) "$GOOD" > "$WORK/cut.zip"
    gzip -dc "$GOOD" > "$WORK/plain" 2>/dev/null
    perl -e 'open(my $f, "+<", $ARGV[0]) or die; binmode $f; seek($f, 72, 0); read($f, my $b, 4);
             seek($f, 72, 0); print $f pack("V", unpack("V", $b) - 1);' "$WORK/plain"
    gzip -c "$WORK/plain" > "$WORK/short.zip"
    for name in flipped cut short; do
        "$TOOL" verify "$WORK/$name.zip" >"$WORK/v$name.out" 2>&1
        stV=$?
        "$TOOL" extract "$WORK/$name.zip" "$WORK/x$name" >"$WORK/x$name.out" 2>&1
        stX=$?
        named=$(find "$WORK/x$name" -maxdepth 1 -type f ! -name '*.unconfirmed' 2>/dev/null | wc -l)
        if [[ $stV -eq 1 && $stX -eq 1 && $named -eq 0 ]] \
            && ! grep -q "^Intact entries: [0-9]" "$WORK/v$name.out"; then v=PASS; else v=FAIL; fi
        row "package: $name (verify, extract)" "$stV,$stX" "$(left "$WORK/x$name")" "$v"
    done
else
    row "corrupted packages" "-" "no good package to corrupt" "FAIL"
fi

echo
if [[ $FAILED -ne 0 ]]; then
    echo "fault-matrix: some cases FAILED (outputs kept in the rows above)" >&2
    exit 1
fi
echo "fault-matrix: every case passed"
