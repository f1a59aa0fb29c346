#!/bin/bash
# Installs the Debian packages that building, testing and playing Tarvex need, when any of them
# is missing. Uses sudo unless it already runs as root.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ libgtest-dev       # build and unit tests
    freeglut3-dev libglu1-mesa-dev           # the window and its drawing
    xvfb xdotool imagemagick x11-utils xauth # driving the real window in the tests
    python3                                  # the window tests' view model
    clang-format                             # source formatting
    clang                                    # the fuzz targets (libFuzzer)
)

installed() {
    dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed$'
}

missing=()
for package in "${PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if (($(id -u) != 0)); then
    sudo=(sudo)
fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
