#!/usr/bin/env bash
# Builds the release: the 32-bit program optimised for size, without the undefined-behaviour
# traps, stripped, and its installer, into build-release/ (apart from the test builds in build/).
# With x86_64 it also builds the 64-bit release program (no installer) into build-release/x86_64/,
# which the benchmark measures on a machine that cannot run 32-bit programs.
# Run scripts/setup.sh once first on a fresh machine; this installs nothing.
#   scripts/package.sh [x86_64]
set -euo pipefail
cd "$(dirname "$0")/.."

# Configures a release build folder for a toolchain, once.
configure_release() {
    local dir=$1 toolchain=$2
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQD_UB_TRAPS=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" -DQD_WINEPREFIX="$PWD/build/wineprefix"
    fi
}

dir=build-release
configure_release "$dir" cmake/mingw-w64-i686.cmake
cmake --build "$dir" --target QuorvelDual installer

exe="$dir/src/QuorvelDual.exe"
msi="$dir/installer/QuorvelDual.msi"
size=$(stat -c %s "$exe")
echo "Release program: $exe ($size bytes)"
echo "Installer:       $msi ($(stat -c %s "$msi") bytes)"
if ((size > 1048576)); then
    echo "Note: the release program is over the 1 MB goal."
fi

if [ "${1:-}" = x86_64 ]; then
    configure_release "$dir/x86_64" cmake/mingw-w64-x86_64.cmake
    cmake --build "$dir/x86_64" --target QuorvelDual
    echo "64-bit release program: $dir/x86_64/src/QuorvelDual.exe"
fi
