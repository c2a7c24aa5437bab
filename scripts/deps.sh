#!/usr/bin/env bash
# Installs the Debian packages the project needs, or, without root, prints the one command that would.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail

# libgpgme-dev and gnupg: the signatures of checksum lists are verified through GPGME with gpg.
# qt6-wayland: Qt's Wayland platform plugin, so that the window shows in a Wayland session that
# has no X server (XWayland) to fall back on.
packages=(
    cmake ninja-build g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libssl-dev liburing-dev libxxhash-dev libisal-dev
    libgpgme-dev gnupg
    qt6-base-dev qt6-wayland libgl-dev fonts-dejavu-core
)
# The peer tools whose lists the tests read, and which read the lists written here.
packages+=(b3sum xxhash rhash)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
