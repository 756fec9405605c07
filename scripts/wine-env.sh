# Sourced by the run and test scripts: the project's own Wine prefix inside build/, a virtual
# display when there is none, a persistent wineserver, and the clean-up that stops Wine before X.

QD_BUILD="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build"
export WINEPREFIX="$QD_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The 64-bit loader starts 64-bit programs itself and hands 32-bit ones to the 32-bit loader.
QD_WINE=/usr/lib/wine/wine64
QD_WINESERVER=/usr/lib/wine/wineserver64
QD_XVFB_PID=""

# Whether this kernel runs 32-bit (i386) Linux programs itself, Wine's 32-bit loader among them.
# Some kernels are booted with their 32-bit emulation off: every i386 program fails with "Exec
# format error", and Wine cannot start a 32-bit Windows program. A kernel that runs them only
# through a qemu-user handler counts as one that does not (each start takes the best part of a
# minute): with QEMU_STRACE set, qemu prints the program's system calls, a native run prints only
# the version. QD_RUNS_32BIT=yes or =no forces the answer. Sets and exports QD_RUNS_32BIT and says
# in one line which kind of machine this is.
qd_detect_32bit() {
    local how
    case "${QD_RUNS_32BIT:-}" in
    yes | no) how="set by QD_RUNS_32BIT" ;;
    "")
        local loader=/usr/lib/wine/wine out
        if [ ! -x "$loader" ]; then
            QD_RUNS_32BIT=no how="$loader is missing"
        elif ! out=$(QEMU_STRACE=1 "$loader" --version 2>&1 </dev/null); then
            QD_RUNS_32BIT=no how="$loader: ${out##*: }"
        elif [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ]; then
            QD_RUNS_32BIT=no how="it runs them only through qemu-user"
        else
            QD_RUNS_32BIT=yes how="$loader --version: $out"
        fi
        ;;
    *)
        echo "QD_RUNS_32BIT must be yes or no, not '$QD_RUNS_32BIT'" >&2
        return 1
        ;;
    esac
    export QD_RUNS_32BIT
    if [ "$QD_RUNS_32BIT" = yes ]; then
        echo "Machine: this kernel runs 32-bit programs ($how)"
    else
        echo "Machine: this kernel does not run 32-bit programs ($how)"
    fi
}

# The ready marker names what the prefix can do. On a kernel that runs 32-bit programs the prefix
# has its 32-bit system (syswow64) and runs both builds; elsewhere wineboot cannot fill syswow64
# and the prefix runs 64-bit programs only. A prefix marked for the other kind of machine, or made
# before the 32-bit Wine was installed, is made again.
QD_PREFIX_MARK_32="64-bit prefix with 32-bit programs"
QD_PREFIX_MARK_64="64-bit prefix without 32-bit programs"

qd_prefix_mark() {
    if [ "${QD_RUNS_32BIT:-yes}" = yes ]; then
        echo "$QD_PREFIX_MARK_32"
    else
        echo "$QD_PREFIX_MARK_64"
    fi
}

qd_has_32bit_system() {
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

qd_prefix_ready() {
    local mark=$1
    [ -f "$WINEPREFIX/.qd-ready" ] && grep -qx "$mark" "$WINEPREFIX/.qd-ready" || return 1
    [ "$mark" != "$QD_PREFIX_MARK_32" ] || qd_has_32bit_system
}

# Creates the prefix once and applies the settings the tests rely on: no crash dialog (a crash
# would otherwise wait for a click), no audio driver, and unmanaged windows (hiding a managed
# window stalls without a window manager). The mark says what it must be able to do (default: what
# this machine can do).
qd_prepare_prefix() {
    local mark=${1:-$(qd_prefix_mark)}
    qd_prefix_ready "$mark" && return 0
    if [ -d "$WINEPREFIX" ]; then
        echo "The Wine prefix in $WINEPREFIX is not a $mark: making it again"
        "$QD_WINESERVER" -k 2>/dev/null || true
        "$QD_WINESERVER" -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    echo "Preparing the Wine prefix in $WINEPREFIX ($mark)"
    local started=$SECONDS
    # Natively this takes seconds; through qemu-user, minutes. A bound keeps a stuck one from
    # holding the command for ever.
    timeout 900 "$QD_WINE" wineboot -u >/dev/null 2>&1 || true
    cat >"$QD_BUILD/wine-settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
    "$QD_WINE" regedit /S "$QD_BUILD/wine-settings.reg" >/dev/null 2>&1
    "$QD_WINESERVER" -w
    if [ "$mark" = "$QD_PREFIX_MARK_32" ] && ! qd_has_32bit_system; then
        echo "The Wine prefix has no 32-bit system: is wine32:i386 installed?" >&2
        return 1
    fi
    echo "$mark" >"$WINEPREFIX/.qd-ready"
    echo "Wine prefix ready in $((SECONDS - started)) s"
}

# Whether DISPLAY names an X server that answers.
qd_display_works() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# Starts Xvfb on a free display number unless a working display is set.
qd_ensure_display() {
    qd_display_works && return 0
    local fifo="$QD_BUILD/xvfb-display"
    rm -f "$fifo"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    QD_XVFB_PID=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
}

# A persistent server, warmed by one program that uses the window system: without it every Wine
# process pays for starting the server, and the first test's output pipe stays open as long as
# the desktop and RPC helpers Wine starts for it.
qd_start_wineserver() {
    # A server still running for this prefix (a simulator left open, say) refuses a second one,
    # and its programs would show on that server's display.
    if ! "$QD_WINESERVER" -p 2>/dev/null; then
        echo "A Wine server already runs for $WINEPREFIX (is the simulator still open?)." >&2
        echo "End it first: WINEPREFIX=$WINEPREFIX $QD_WINESERVER -k" >&2
        return 1
    fi
    local warmups=("$QD_BUILD/x86_64/tests/wine_warmup.exe")
    [ "${QD_RUNS_32BIT:-yes}" = no ] || warmups=("$QD_BUILD/tests/wine_warmup.exe" "${warmups[@]}")
    local warmup
    for warmup in "${warmups[@]}"; do
        [ -f "$warmup" ] && "$QD_WINE" "$warmup" >/dev/null 2>&1 </dev/null || true
    done
}

qd_stop_all() {
    "$QD_WINESERVER" -k 2>/dev/null || true
    "$QD_WINESERVER" -w 2>/dev/null || true
    if [ -n "$QD_XVFB_PID" ]; then
        kill "$QD_XVFB_PID" 2>/dev/null || true
        wait "$QD_XVFB_PID" 2>/dev/null || true
    fi
}
