#!/bin/bash
# Installs, as root, the Debian 12 packages the demo, its tests and its content generators need.
# Does nothing when everything is already there.
set -eu
packages=(
    build-essential cmake pkg-config
    libglfw3-dev libepoxy-dev libegl-dev libglm-dev libassimp-dev libdevil-dev libsdl2-mixer-dev libmpg123-dev libgl1-mesa-dri
    libgtest-dev libcli11-dev nlohmann-json3-dev libimgui-dev ffmpeg parallel rsync
    xvfb xauth xdotool imagemagick mesa-utils help2man dpkg-dev appstream desktop-file-utils
    python3 python3-collada python3-numpy python3-pil lame opencollada-tools sox
    clang-14 libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
