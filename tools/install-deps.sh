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

# One dpkg query for them all; a package it does not list as installed is missing.
# shellcheck disable=SC2086
installed=$(dpkg-query -W -f='${Package} ${Status}\n' $packages 2>/dev/null | grep " install ok installed$" | cut -d' ' -f1 || true)
missing=""
for p in $packages; do
    echo "$installed" | grep -qx "$p" || missing="$missing $p"
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
# apt's own progress goes to a log, shown only when something fails.
log=$(mktemp "${TMPDIR:-/tmp}/vantamax-deps.XXXXXX")
# shellcheck disable=SC2086
if ! { $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends $missing; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "error: the packages could not be installed (apt's messages are above)" >&2
    exit 1
fi
rm -f "$log"
