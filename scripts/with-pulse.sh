#!/bin/bash
# Runs one Windows program under Wine with a private PulseAudio server, then stops the server and
# that Wine again, leaving nothing running:
#   scripts/with-pulse.sh program.exe [arguments]
# The server has a six-channel null sink and a stereo null source whose descriptions hold "USB",
# as the adapter's endpoints would. The program runs in a prefix of its own (a copy of the test
# prefix with the audio driver on), so every other test keeps Wine without a sound driver. A
# server that does not start fails the program's test with the reason.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"

main_prefix="$WINEPREFIX"
export WINEPREFIX="$QD_BUILD/wineprefix-sound"
runtime=$(mktemp -d /tmp/qd-pulse.XXXXXX)
server=""

stop() {
    "$QD_WINESERVER" -k 2>/dev/null || true
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap stop EXIT

# The copy is made again whenever the test prefix was.
if ! cmp -s "$main_prefix/.qd-ready" "$WINEPREFIX/.qd-sound" ||
    [ "$main_prefix/.qd-ready" -nt "$WINEPREFIX/.qd-sound" ]; then
    "$QD_WINESERVER" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    cp -a "$main_prefix" "$WINEPREFIX"
    # The test prefix turns the audio driver off; this one keeps Wine's default drivers.
    sed -i '/^"Audio"=""$/d' "$WINEPREFIX/user.reg"
    cp "$main_prefix/.qd-ready" "$WINEPREFIX/.qd-sound"
fi

chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
export PULSE_SERVER="unix:$runtime/pulse/native"
cat >"$runtime/server.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=quorvel_out channels=6 channel_map=front-left,front-right,front-center,lfe,rear-left,rear-right sink_properties=device.description=Quorvel_USB_Audio
update-source-proplist quorvel_out.monitor device.description=Loopback
load-module module-null-source source_name=quorvel_in channels=2 description=Quorvel_USB_Audio_Input
PA
# Root may run it too with -n and a script of its own; it stays in the foreground so that its
# process is ours to stop.
pulseaudio -n -F "$runtime/server.pa" --exit-idle-time=-1 --daemonize=no \
    --log-target=file:"$runtime/server.log" >/dev/null 2>&1 </dev/null &
server=$!
for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
    echo "The PulseAudio server did not start:" >&2
    tail -5 "$runtime/server.log" >&2 2>/dev/null || echo "(no log; is pulseaudio installed?)" >&2
    exit 1
fi
"$QD_WINE" "$@"
