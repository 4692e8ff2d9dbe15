#!/usr/bin/env bash
# CPU of the digital terminal with the signal browser open, receiving a band of 24 PSK31
# stations at 48 kHz, under Xvfb with a private PulseAudio server whose null sink loops back
# to its input (paplay's CPU is not counted). Saves a picture of the browser.
#
#   bench/browser_cost.sh [SECONDS] [PNG]      (60, docs/screenshots/signal-browser.png)
#
# Needs: apt-get install xvfb pulseaudio pulseaudio-utils
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
picture=$(realpath -m "${2:-docs/screenshots/signal-browser.png}")
build=$PWD/build
source tests/interop/private-pulse.sh
start_private_pulse <<'PA'
load-module module-null-sink sink_name=out
load-module module-remap-source master=out.monitor source_name=loop
set-default-source loop
set-default-sink out
PA
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1400x900x24 >/dev/null 2>&1 &
xvfb=$!
before_pulse_stops() { kill "$xvfb" ${player:-} 2>/dev/null || true; }
sleep 1
"$build/bench/bench_browser" --wav "$work/band.wav"
(while true; do paplay "$work/band.wav" 2>/dev/null; done) &
player=$!
DISPLAY=$display ${BENCH_WRAPPER:-} "$build/bench/bench_terminal" browser "$seconds" "$picture" 2>/dev/null
