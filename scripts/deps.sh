#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing. As root it runs
# apt-get itself; otherwise it prints the exact command to run and stops.
set -euo pipefail

packages=(g++ cmake ninja-build make qt6-base-dev qt6-multimedia-dev libgtest-dev libgmock-dev
          libbenchmark-dev libjpeg-dev fonts-dejavu-core nlohmann-json3-dev chromium)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

echo "Installing ${missing[*]} ..."
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
