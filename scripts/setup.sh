#!/usr/bin/env bash
# Installs what building, running and testing need, when something is missing (Debian).
set -euo pipefail

packages=(g++ clang libclang-rt-14-dev cmake ninja-build libgtest-dev libgmock-dev
          libbenchmark-dev qt6-base-dev qt6-serialport-dev fonts-dejavu-core
          xvfb xauth x11-utils xdotool imagemagick)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
