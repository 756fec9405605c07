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

# What the ready marker holds for a prefix that runs 32-bit programs. A prefix made before the
# 32-bit Wine was installed has no 32-bit system folder and cannot start them (kernel32 fails to
# load), so one without this mark, or without that folder, is made again.
QD_PREFIX_MARK="64-bit prefix with 32-bit programs"

qd_prefix_ready() {
    [ -f "$WINEPREFIX/.qd-ready" ] && grep -qx "$QD_PREFIX_MARK" "$WINEPREFIX/.qd-ready" &&
        [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

# Creates the prefix once and applies the settings the tests rely on: no crash dialog (a crash
# would otherwise wait for a click), no audio driver, and unmanaged windows (hiding a managed
# window stalls without a window manager).
qd_prepare_prefix() {
    qd_prefix_ready && return 0
    if [ -d "$WINEPREFIX" ]; then
        echo "The Wine prefix in $WINEPREFIX cannot run 32-bit programs: making it again"
        "$QD_WINESERVER" -k 2>/dev/null || true
        "$QD_WINESERVER" -w 2>/dev/null || true
        rm -rf "$WINEPREFIX"
    fi
    echo "Preparing the Wine prefix in $WINEPREFIX"
    "$QD_WINE" wineboot -u >/dev/null 2>&1 || true
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
    if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        echo "The Wine prefix has no 32-bit system: is wine32:i386 installed?" >&2
        return 1
    fi
    echo "$QD_PREFIX_MARK" >"$WINEPREFIX/.qd-ready"
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
    local warmup
    for warmup in "$QD_BUILD/tests/wine_warmup.exe" "$QD_BUILD/x86_64/tests/wine_warmup.exe"; do
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
