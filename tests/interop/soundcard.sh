#!/usr/bin/env bash
# Runs the modem on a real sound server: a private PulseAudio whose null sink is looped back to
# the default input, so what the modem plays through Qt Multimedia comes back to be decoded.
# Real time, about half a minute.
#
#   tests/interop/soundcard.sh [build]
#
# Needs: apt-get install pulseaudio
set -euo pipefail

build=$(realpath "${1:-build}")
# 77: skipped (CTest's convention), when there is no PulseAudio to run.
command -v pulseaudio >/dev/null || { echo "SKIP: needs pulseaudio (apt-get install pulseaudio)"; exit 77; }
test_binary="$build/tests/tst_SoundCardLoopback"
[ -x "$test_binary" ] || { echo "no $test_binary (build first)"; exit 2; }

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run HOME=$work
mkdir -p "$XDG_RUNTIME_DIR"
cat > "$work/pa.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=out
load-module module-remap-source master=out.monitor source_name=loop
set-default-source loop
set-default-sink out
PA
pulseaudio -n -F "$work/pa.pa" --exit-idle-time=-1 --daemonize=no 2>"$work/pulse.log" &
pulse=$!
trap 'kill "$pulse" 2>/dev/null || true; wait "$pulse" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.1; done
if [ ! -S "$XDG_RUNTIME_DIR/pulse/native" ]; then
    echo "SKIP: PulseAudio would not start here:"; cat "$work/pulse.log"; exit 77
fi

ZARNIK_SOUND_LOOPBACK=1 "$test_binary"
