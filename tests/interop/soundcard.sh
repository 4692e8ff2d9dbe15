#!/usr/bin/env bash
# Runs the terminal of the whole program on a real sound server: a private PulseAudio whose null
# sink is looped back to the default input, so what the modem plays through libpulse comes
# back to be decoded; the typing keys the station through corvel-sim. Real time, about 15 s.
#
#   tests/interop/soundcard.sh [build]
#
# Needs: apt-get install pulseaudio
set -euo pipefail

build=$(realpath "${1:-build}")
# 77: skipped (CTest's convention), when there is no PulseAudio to run.
command -v pulseaudio >/dev/null || { echo "SKIP: needs pulseaudio (apt-get install pulseaudio)"; exit 77; }
test_binary="$build/tests/tst_TerminalOnTheAir"
[ -x "$test_binary" ] || { echo "no $test_binary (build first)"; exit 2; }

source "$(dirname "$0")/private-pulse.sh"
start_private_pulse <<'PA' || { echo "SKIP"; exit 77; }
load-module module-null-sink sink_name=out
load-module module-remap-source master=out.monitor source_name=loop
set-default-source loop
set-default-sink out
PA

ZARNIK_SOUND_LOOPBACK=1 QT_QPA_PLATFORM=offscreen "$test_binary"
