#!/usr/bin/env bash
# Installs what building and testing need, from Debian's archive, only when something is missing,
# then configures and builds: the 32-bit product build into build/, and the 64-bit build of the
# same sources into build/x86_64/. Both run under the one Wine prefix in build/.
#   scripts/setup.sh                  installs, then makes both builds
#   scripts/setup.sh i686|x86_64...   installs, then makes the builds named
#   scripts/setup.sh --install-only   installs only
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
    qemu-user
    pulseaudio pulseaudio-utils
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

# Configures a build folder for a toolchain and settings, starting it afresh when it was made for
# another toolchain; a stamp records what it was configured with.
configure() {
    local dir=$1 toolchain=$2
    shift 2
    local cache="$dir/CMakeCache.txt" stamp="$dir/qd-configured" wanted="$toolchain $*"
    if [ -f "$cache" ] && ! grep -q "^CMAKE_TOOLCHAIN_FILE:.*=$PWD/$toolchain\$" "$cache"; then
        echo "Reconfiguring $dir for $toolchain"
        rm -rf "$cache" "$dir/CMakeFiles"
    fi
    if [ ! -f "$cache" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" -DQD_WINEPREFIX="$PWD/build/wineprefix" "$@"
        echo "$wanted" >"$stamp"
    fi
}

[ "${1:-}" = "--install-only" ] && exit 0
builds=("$@")
((${#builds[@]})) || builds=(i686 x86_64)
for build in "${builds[@]}"; do
    case "$build" in
    i686)
        configure build cmake/mingw-w64-i686.cmake
        cmake --build build
        ;;
    x86_64)
        # Its installer test checks the product's package, which the 32-bit build makes.
        configure build/x86_64 cmake/mingw-w64-x86_64.cmake \
            -DQD_PRODUCT_MSI="$PWD/build/installer/QuorvelDual.msi"
        cmake --build build/x86_64
        ;;
    *)
        echo "Unknown build '$build': i686 or x86_64" >&2
        exit 1
        ;;
    esac
done
