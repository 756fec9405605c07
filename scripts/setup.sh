#!/usr/bin/env bash
# Installs what building and testing need, from Debian's archive, only when something is missing,
# then configures and builds everything: the 32-bit product build into build/, and the 64-bit
# build of the same sources into build/x86_64/ (not with --product-only). Both run under the one
# Wine prefix in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++
    g++-mingw-w64-i686-posix mingw-w64-i686-dev
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    wine64 wine32:i386
    xvfb x11-utils x11-apps imagemagick fonts-liberation
    googletest clang-format
    wixl msitools
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# The 32-bit Wine comes from Debian's i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Configures a build folder for a toolchain, starting it afresh when it was made for another one.
configure() {
    local dir=$1 toolchain=$2
    if [ -f "$dir/CMakeCache.txt" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*=$PWD/$toolchain\$" \
        "$dir/CMakeCache.txt"; then
        echo "Reconfiguring $dir for $toolchain"
        rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    fi
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" -DQD_WINEPREFIX="$PWD/build/wineprefix"
    fi
}

configure build cmake/mingw-w64-i686.cmake
cmake --build build
if [ "${1:-}" != "--product-only" ]; then
    configure build/x86_64 cmake/mingw-w64-x86_64.cmake
    cmake --build build/x86_64
fi
