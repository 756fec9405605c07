#!/usr/bin/env bash
# Builds everything and runs every test: formatting, then each test program under Wine.
#
# On a machine whose kernel runs 32-bit programs: the whole suite on the 32-bit product build,
# then, on the 64-bit build of the same sources, every program but the soak and installer tests,
# which repeat what the 32-bit run covers.
#
# On a machine whose kernel does not: the 32-bit build is still made, with its warnings as errors
# and its compile-time layout checks; the whole suite, soak and installer included, runs on the
# 64-bit build; then a short check starts the 32-bit program itself under qemu-user (skipped,
# with its reason, when qemu-user cannot be had).
#
# Arguments go to every ctest run (-R test_ui runs one program); with arguments the check under
# qemu-user is left out unless QD_SMOKE32=yes. QD_RUNS_32BIT=yes or =no overrides what the
# machine is found to be.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --install-only
source scripts/wine-env.sh
qd_detect_32bit
scripts/setup.sh i686 x86_64
scripts/check-format.sh

# What ran on which architecture, printed at the end whatever the outcome.
summary=()
selection=${*:+, as selected by: $*}
trap 'qd_stop_all; printf "%s\n" "== What ran" "${summary[@]}"' EXIT

# Runs one step; its line in the summary says whether it passed, and a failure ends the command.
step() {
    local label=$1
    shift
    echo "== $label"
    if "$@"; then
        summary+=("$label: passed")
    else
        summary+=("$label: FAILED")
        exit 1
    fi
}

# The tests a ctest run in this build folder skipped, each with the reason it gave.
skipped_tests() {
    awk '/: Skipped$/ { getline why }
        /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ {
            sub(/^\[  SKIPPED \] /, ""); sub(/ \([0-9]+ ms\)$/, "")
            print "  skipped " $0 ": " why
        }' "$1/Testing/Temporary/LastTest.log"
}

# Runs the test programs of one build folder as one step and lists what they skipped.
ctest_step() {
    local label=$1 dir=$2
    shift 2
    label="$label$selection"
    step "$label" ctest --test-dir "$dir" --output-on-failure -j2 "$@"
    mapfile -t -O "${#summary[@]}" summary < <(skipped_tests "$dir")
}

qd_prepare_prefix
qd_ensure_display
qd_start_wineserver

if [ "$QD_RUNS_32BIT" = yes ]; then
    ctest_step "i686, the product: the whole suite" build "$@"
    ctest_step "x86_64: every program but the soak and installer tests" build/x86_64 \
        -E 'test_soak|test_installer' "$@"
    exit 0
fi

note="i686, the product: built with warnings as errors and its compile-time layout checks; its"
note+=" test programs not run, since this kernel cannot run 32-bit programs"
echo "== $note"
summary+=("$note")
ctest_step "x86_64, standing in for the product: the whole suite, soak and installer included" \
    build/x86_64 "$@"
if (($# == 0)) || [ "${QD_SMOKE32:-}" = yes ]; then
    # It passes when it was skipped for want of qemu-user; its result line says which.
    label="i686, the product, under qemu-user: a few starts of the program itself"
    echo "== $label"
    if scripts/smoke32.sh; then
        summary+=("$label: $(cat build/smoke32/result)")
    else
        summary+=("$label: FAILED: $(cat build/smoke32/result 2>/dev/null)")
        exit 1
    fi
else
    summary+=("i686, the product, under qemu-user: left out, since a selection of tests was asked"
        "  for (QD_SMOKE32=yes runs it)")
fi
