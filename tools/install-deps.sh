#!/bin/sh
# Installs the Debian packages VantaMax needs, and nothing when they are all present.
# Usage: tools/install-deps.sh [extra package group]   (group: fuzz)
set -eu

packages="build-essential cmake pkg-config
    libsdl2-dev libgl-dev libgl1-mesa-dri
    libpng-dev libjpeg62-turbo-dev libfreetype-dev zlib1g-dev
    libogg-dev libvorbis-dev liblua5.1-0-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool xfonts-base libx11-dev libstb-dev
    libcairo2-dev fonts-wine doxygen clang-tidy"

if [ "${1:-}" = fuzz ]; then
    packages="$packages clang libfuzzer-14-dev libclang-rt-14-dev"
fi

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
elif command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
else
    echo "error: packages are missing and neither root nor sudo is available:$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
