#!/usr/bin/env bash
# CPU of the digital terminal skimming CW: the signal browser open and listening for CW on a
# band of 32 CW stations (16-40 wpm, -15 to +20 dB, fading, static crashes) at 48 kHz, under
# Xvfb with a private PulseAudio server whose null sink loops back to its input (paplay's CPU
# is not counted). Saves a picture of the browser.
#
#   bench/skimmer_cost.sh [SECONDS] [PNG]      (60, docs/screenshots/cw-skimmer.png)
#
# Needs: apt-get install xvfb pulseaudio pulseaudio-utils
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
picture=$(realpath -m "${2:-docs/screenshots/cw-skimmer.png}")
build=$PWD/build
source bench/looped-sound.sh
"$build/bench/bench_cw" --wav "$work/cw-band.wav"
play_looped "$work/cw-band.wav"
DISPLAY=$display ${BENCH_WRAPPER:-} "$build/bench/bench_terminal" skimmer "$seconds" "$picture" 2>/dev/null
