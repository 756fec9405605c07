#!/usr/bin/env bash
# Installs what building and testing need, from Debian's archive, only when something is missing,
# then configures and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    wine64
    xvfb x11-utils x11-apps imagemagick fonts-liberation
    googletest clang-format
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
fi
cmake --build build
