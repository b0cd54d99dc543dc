#!/usr/bin/env bash
# Backs up the bundled sample phone with a build's backuptool and keeps what
# the backup wrote, under names without the date: package.zip, Info.xml (the
# package's first entry), ImageList.xml, VideoList.xml, AudioList.xml.
# Every run uses the same SDK data folder (its path is stored in the package
# header), so two builds that write the same backup give identical files.
#
# Usage: scripts/backup-fingerprint.sh BUILD_DIR OUT_DIR
#        scripts/backup-fingerprint.sh --compare BUILD_A BUILD_B
#          (fingerprints both builds and says whether every file is the same;
#           exit status 0 identical, 1 different)
set -euo pipefail
cd "$(dirname "$0")/.."

work="${TMPDIR:-/tmp}/backup-fingerprint-$(id -u)"

fingerprint() {
    local build="$1" out="$2"
    local tool="$build/stage/bin/backuptool"
    [ -x "$tool" ] || { echo "backup-fingerprint: $tool not found" >&2; exit 2; }
    rm -rf "$work"
    mkdir -p "$work/userdata" "$work/documents" "$work/dest" "$out"
    PELORIX_HOST_SETTINGS="$work/host.ini" PELORIX_HOST_DOCUMENTS="$work/documents" \
        DVSK_SIM_USERDATA="$work/userdata/" DVSK_DEVICE=sim \
        "$tool" run --device sim --phone "$build/stage/samples/phone" --dest "$work/dest" --items all --full \
        >"$out/run.log" 2>&1
    local package folder
    package=$(ls "$work"/dest/backup_*.zip)
    folder="${package%.zip}"
    cp "$package" "$out/package.zip"
    "$tool" extract "$package" "$work/extracted" >/dev/null
    cp "$work/extracted/Info.xml" "$out/Info.xml"
    cp "$folder/Image/ImageList.xml" "$folder/Video/VideoList.xml" "$folder/Audio/AudioList.xml" "$out/"
    rm -rf "$work"
}

if [ "${1:-}" = "--compare" ] && [ $# -eq 3 ]; then
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    fingerprint "$2" "$tmp/a"
    fingerprint "$3" "$tmp/b"
    status=0
    for f in package.zip Info.xml ImageList.xml VideoList.xml AudioList.xml; do
        if cmp -s "$tmp/a/$f" "$tmp/b/$f"; then
            echo "same      $f ($(stat -c %s "$tmp/a/$f") bytes)"
        else
            echo "DIFFERENT $f"
            status=1
        fi
    done
    exit $status
elif [ $# -eq 2 ]; then
    fingerprint "$1" "$2"
    sha256sum "$2"/package.zip "$2"/*.xml
else
    sed -n '2,12p' "$0" >&2
    exit 2
fi
