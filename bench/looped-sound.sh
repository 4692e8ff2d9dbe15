# Sourced by the terminal's cost scripts: a private PulseAudio server whose null sink loops back
# to its input, an Xvfb display ($display), and `play_looped FILE`, which plays a sound file into
# the loop over and over. Everything stops when the script exits.
source "$(dirname "${BASH_SOURCE[0]}")/../tests/interop/private-pulse.sh"
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

play_looped() {
    (while true; do paplay "$1" 2>/dev/null; done) &
    player=$!
}
