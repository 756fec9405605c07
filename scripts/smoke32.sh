#!/usr/bin/env bash
# A short check of the 32-bit program itself, for a machine whose kernel does not run 32-bit
# programs (the test command runs it there). qemu-user runs Wine's 32-bit loader, registered for
# i386 programs through binfmt_misc for the length of this check when no handler is registered,
# in a Wine prefix of its own (build/wineprefix-qemu) whose 32-bit system qemu-user made. A 64-bit
# harness then starts the program twice: beside a 32-bit sibling library it starts quietly into
# the tray, keeps its first start in the 32-bit registry view and ends on WM_CLOSE; beside a
# 64-bit one it warns that the library is not found. Every 32-bit process start costs the best
# part of a minute, so this is kept to those two (and the prefix's own, once).
#
# Writes its result in one line to build/smoke32/result: passed, with how long it took, or
# skipped, with why. Exits 0 when it passed or was skipped (no qemu-user, no binfmt_misc, no
# root), 1 when it failed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
export WINEPREFIX="$QD_BUILD/wineprefix-qemu"
dir="$QD_BUILD/smoke32"
mkdir -p "$dir"
rm -f "$dir/result"
started=$SECONDS

result() {
    echo "$*" >"$dir/result"
    echo "$*"
}
skip() {
    result "skipped: $*"
    exit 0
}
fail() {
    result "$* (after $((SECONDS - started)) s)"
    exit 1
}

# Where the kernel runs 32-bit programs itself, the test command runs the whole 32-bit suite, and
# a qemu handler would only slow every 32-bit program of the machine down.
if [ "${QD_RUNS_32BIT:-}" != no ]; then
    qd_detect_32bit
    [ "$QD_RUNS_32BIT" = no ] || skip "this kernel runs 32-bit programs itself"
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386
[ -x "$qemu" ] || skip "qemu-user is not installed ($qemu is missing)"
if [ ! -f "$binfmt/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
        skip "binfmt_misc cannot be mounted on $binfmt"
fi

# An enabled handler for i386 programs, if one is registered: the usual i386 ELF magic.
i386_magic=7f454c4601010100000000000000000002000300
handler=""
for entry in "$binfmt"/*; do
    [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null &&
        grep -qx "magic $i386_magic" "$entry" && handler=$entry && break
done
ours=""
if [ -z "$handler" ]; then
    ours="$binfmt/qd-qemu-i386"
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qd-qemu-i386:M::$magic:$mask:$qemu:" | $sudo tee "$binfmt/register" >/dev/null 2>&1 ||
        skip "qemu-i386 cannot be registered for i386 programs in $binfmt (root is needed)"
    handler=$ours
fi
echo "32-bit programs run through $(sed -n 's/^interpreter //p' "$handler") ($handler)"

# The handler is removed again at the end, so that the 64-bit test run never starts a 32-bit
# program through it by accident; Wine stops before the display does.
finish() {
    qd_stop_all
    if [ -n "$ours" ]; then echo -1 | $sudo tee "$ours" >/dev/null 2>&1 || true; fi
}
trap finish EXIT

/usr/lib/wine/wine --version >/dev/null 2>&1 || fail "Wine's 32-bit loader does not run under qemu-i386"
qd_prepare_prefix "$QD_PREFIX_MARK_32" || fail "the Wine prefix in $WINEPREFIX was not made"
qd_ensure_display
qd_start_wineserver

# The product's own build, once beside each library; the harness beside them.
for side in own other; do
    mkdir -p "$dir/$side"
    cp build/src/QuorvelDual.exe "$dir/$side/"
done
cp build/sim/Zelfilter.dll "$dir/own/"
cp build/x86_64/sim/Zelfilter.dll "$dir/other/"
cp build/x86_64/tests/product_smoke.exe "$dir/"

checked=$SECONDS
if timeout 600 "$QD_WINE" "$dir/product_smoke.exe" --gtest_color=no </dev/null; then
    result "passed in $((SECONDS - started)) s (the two starts $((SECONDS - checked)) s)"
else
    fail "the 32-bit program failed its check, or did not finish within 600 s"
fi
