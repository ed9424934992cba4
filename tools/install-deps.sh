#!/bin/bash
# Installs the Debian packages Kelvane needs to build, run and test; quiet when all are present.
set -e
packages=(
    cmake make g++ git
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-tools
    wine64 fonts-wine
    googletest
    xvfb xauth x11-utils imagemagick
    cups printer-driver-cups-pdf poppler-utils
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing ${missing[*]}..."
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
