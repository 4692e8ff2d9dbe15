#!/usr/bin/env bash
# CPU of the digital terminal, open and receiving at 48 kHz with the waterfall, under Xvfb
# with a private PulseAudio server whose null sink loops back to its input; a BPSK31 signal
# is played into it the whole time by paplay (its CPU is not counted).
#
#   bench/terminal_cost.sh [SECONDS]      (60)
#
# Needs: apt-get install xvfb pulseaudio pulseaudio-utils
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=$PWD/build
source bench/looped-sound.sh
"$build/src/zarnik-modem" tx --mode bpsk --carrier 1500 -o "$work/cq.wav" \
    --text "$(printf 'CQ CQ CQ DE OH2XX OH2XX OH2XX PSE K %.0s' $(seq 20))"
play_looped "$work/cq.wav"
DISPLAY=$display ${BENCH_WRAPPER:-} "$build/bench/bench_terminal" live "$seconds" 2>/dev/null
