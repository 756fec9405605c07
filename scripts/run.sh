#!/usr/bin/env bash
# Builds the program and starts its simulator build: in your display when there is one, else in
# a virtual display, where it takes screenshots into build/screenshots and ends. It is the 32-bit
# simulator where this kernel runs 32-bit programs, and the 64-bit build of it elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --install-only
source scripts/wine-env.sh
qd_detect_32bit
if [ "$QD_RUNS_32BIT" = yes ]; then
    build=build
    scripts/setup.sh i686
else
    build=build/x86_64
    echo "Running the 64-bit simulator build: this kernel cannot run the 32-bit one."
    scripts/setup.sh x86_64
fi

qd_prepare_prefix
program=$build/sim/QuorvelDualSim.exe

if qd_display_works; then
    exec "$QD_WINE" "$program"
fi

trap qd_stop_all EXIT
qd_ensure_display
qd_start_wineserver
mkdir -p build/screenshots

# Waits until a top-level window with this title exists and prints its X id.
window_id() {
    local title=$1 id=""
    for _ in $(seq 1 100); do
        id=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) {print $1; exit}')
        [ -n "$id" ] && break
        sleep 0.2
    done
    echo "$id"
}

"$QD_WINE" "$program" &
id=$(window_id "Adapter simulator")
if [ -z "$id" ]; then
    echo "The simulator window did not appear." >&2
    exit 1
fi
sleep 1
import -window "$id" build/screenshots/simulator.png
"$QD_WINESERVER" -k
"$QD_WINESERVER" -w
qd_start_wineserver

# The settings window, tab by tab.
rm -f build/screenshots/settings-* build/screenshots/speaker-test* build/screenshots/per-endpoint-*
"$QD_WINE" "$build"/tests/screenshot_tour/screenshot_tour.exe build/screenshots
for bmp in build/screenshots/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "Screenshots: $(ls build/screenshots/*.png | tr '\n' ' ')"
