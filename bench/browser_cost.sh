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
source bench/looped-sound.sh
"$build/bench/bench_browser" --wav "$work/band.wav"
play_looped "$work/band.wav"
DISPLAY=$display ${BENCH_WRAPPER:-} "$build/bench/bench_terminal" browser "$seconds" "$picture" 2>/dev/null
