#!/usr/bin/env bash
# Builds everything and runs every test: formatting, then each test program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh

source scripts/wine-env.sh
trap qd_stop_all EXIT
qd_prepare_prefix
qd_ensure_display
qd_start_wineserver
ctest --test-dir build --output-on-failure -j2 "$@"
