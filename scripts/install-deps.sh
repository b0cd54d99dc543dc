#!/usr/bin/env bash
# Installs what the build, the tests and the main job need (Debian 12).
# Idempotent: packages already present are skipped.
set -euo pipefail
packages=(cmake ninja-build g++ ccache qt6-base-dev qt6-tools-dev qt6-tools-dev-tools
          qt6-l10n-tools libgl-dev zlib1g-dev gzip adb
          # readers the tests use to check the contacts and calendar files
          python3-vobject python3-icalendar tzdata)
for extra in "$@"; do packages+=("$extra"); done
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
