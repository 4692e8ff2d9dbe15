#!/usr/bin/env bash
# CPU of the digital terminal with the signal browser open, receiving a band at 48 kHz under
# Xvfb with a private PulseAudio server whose null sink loops back to its input (paplay's CPU
# is not counted). Saves a picture of the browser.
#   PSK31: as many stations as the browser takes (32); with BROWSE=cw (bench/skimmer_cost.sh) the browser listens for CW on
#   32 CW stations (16-40 wpm, -15 to +20 dB, fading, static crashes).
#
#   bench/browser_cost.sh [SECONDS] [PNG]      (60, docs/screenshots/signal-browser.png)
#
# Needs: apt-get install xvfb pulseaudio pulseaudio-utils
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=$PWD/build
if [ "${BROWSE:-psk}" = cw ]; then
    picture=$(realpath -m "${2:-docs/screenshots/cw-skimmer.png}")
    make_band() { "$build/bench/bench_cw" --wav "$1"; }
    mode=skimmer
else
    picture=$(realpath -m "${2:-docs/screenshots/signal-browser.png}")
    make_band() { "$build/bench/bench_browser" --wav "$1"; }
    mode=browser
fi
source bench/looped-sound.sh
make_band "$work/band.wav"
play_looped "$work/band.wav"
DISPLAY=$display ${BENCH_WRAPPER:-} "$build/bench/bench_terminal" "$mode" "$seconds" "$picture" 2>/dev/null
