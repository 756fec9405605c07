#!/usr/bin/env bash
# Builds the release: the 32-bit program optimised for size, without the undefined-behaviour
# traps, stripped, and its installer, into build-release/ (apart from the test builds in build/).
# Run scripts/setup.sh once first on a fresh machine; this installs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build-release
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DQD_UB_TRAPS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-i686.cmake" \
        -DQD_WINEPREFIX="$PWD/build/wineprefix"
fi
cmake --build "$dir" --target QuorvelDual installer

exe="$dir/src/QuorvelDual.exe"
msi="$dir/installer/QuorvelDual.msi"
size=$(stat -c %s "$exe")
echo "Release program: $exe ($size bytes)"
echo "Installer:       $msi ($(stat -c %s "$msi") bytes)"
if ((size > 1048576)); then
    echo "Note: the release program is over the 1 MB goal."
fi
