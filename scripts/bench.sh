#!/usr/bin/env bash
# Measures the release build against a bare tray program (one hidden window, one icon, a message
# loop) built in the same run for the same architecture: start-up to the tray icon, working set
# one second after start, CPU use while idle, exe size; medians of several alternating runs under
# one Wine server. The pair is the 32-bit one, the product's, where this kernel runs 32-bit
# programs, and the 64-bit one elsewhere.
# A benchmark, not a test: it fails on nothing but a program that does not start.
#   scripts/bench.sh [RUNS [IDLE_SECONDS]]     (default 5 runs, 20 s idle)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
idle=${2:-20}

source scripts/wine-env.sh
qd_detect_32bit
# The 32-bit release and its installer are built on either kind of machine.
if [ "$QD_RUNS_32BIT" = yes ]; then
    arch=i686 release=build-release
    scripts/package.sh
else
    arch=x86_64 release=build-release/x86_64
    scripts/package.sh x86_64
fi
echo "Benchmark: the $arch pair (the release program and the bare tray, both built for $arch)"
cmake --build "$release" --target sim_zelfilter >/dev/null

dir=$release/bench
mkdir -p "$dir"
cxx=$arch-w64-mingw32-g++-posix
$cxx -std=c++20 -Os -s -static -mwindows -Wall -Wextra -Werror tools/bench/BareTray.cpp \
    -o "$dir/BareTray.exe"
$cxx -std=c++20 -O2 -s -static -Wall -Wextra -Werror -Isrc tools/bench/Bench.cpp -lpsapi \
    -o "$dir/bench.exe"
# The program as it runs beside the adapter's sibling library (here the simulated one, which
# reports the filter driver installed when no simulator hosts it).
cp "$release/src/QuorvelDual.exe" "$dir/"
cp "$release/sim/Zelfilter.dll" "$dir/"

trap qd_stop_all EXIT
qd_prepare_prefix
qd_ensure_display
qd_start_wineserver
"$QD_WINE" "$dir/bench.exe" "$runs" "$idle" \
    "$dir/QuorvelDual.exe" "Quorvel Dual" "#32770" 155,156 \
    "$dir/BareTray.exe" "Bare tray" QdBareTray 1
