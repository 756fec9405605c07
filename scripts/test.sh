#!/usr/bin/env bash
# Builds everything and runs every test: formatting, then each test program under Wine, first the
# 32-bit product build, then the 64-bit build of the same sources. The 64-bit run leaves out the
# soak tests, which take the longest and repeat the same paths (the installer exists only in the
# 32-bit build). Arguments go to both ctest runs (-R test_ui runs one program).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh

source scripts/wine-env.sh
trap qd_stop_all EXIT
qd_prepare_prefix
qd_ensure_display
qd_start_wineserver
echo "== 32-bit build (i686), the product"
ctest --test-dir build --output-on-failure -j2 "$@"
echo "== 64-bit build (x86_64)"
ctest --test-dir build/x86_64 --output-on-failure -j2 -E test_soak "$@"
