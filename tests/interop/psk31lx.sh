#!/usr/bin/env bash
# Checks zarnik-modem's PSK31 against an independent PSK31 program, Debian's psk31lx: BPSK and
# QPSK, both ways. psk31lx runs in tmux with a private PulseAudio whose null sinks stand in
# for the sound card: it hears our files played into one, and what it sends is recorded from
# the other and decoded by zarnik-modem. Real time, about a minute and a half.
#
#   tests/interop/psk31lx.sh [path/to/zarnik-modem]
#
# Needs: apt-get install psk31lx pulseaudio pulseaudio-utils tmux
set -euo pipefail

modem=$(realpath "${1:-build/src/zarnik-modem}")
for tool in psk31lx pulseaudio paplay parec pactl tmux; do
    command -v "$tool" >/dev/null || { echo "needs $tool: apt-get install psk31lx pulseaudio pulseaudio-utils tmux"; exit 2; }
done
[ -x "$modem" ] || { echo "no zarnik-modem at $modem (build first)"; exit 2; }

source "$(dirname "$0")/private-pulse.sh"
before_pulse_stops() { tmux -L "$socket" kill-server 2>/dev/null || true; }
start_private_pulse <<'PA' || exit 2
load-module module-null-sink sink_name=feed
load-module module-null-sink sink_name=out
set-default-source feed.monitor
set-default-sink out
PA

# psk31lx listens and sends on 1000 Hz.
sed 's/^FREQ=.*/FREQ=1000/' /usr/share/psk31lx/psk31lx.ini > "$HOME/.psk31lx.ini"

screen_text() { # what psk31lx shows in its receive window, one line
    tmux -L "$socket" capture-pane -p | awk '/ Status/{on=0} on{printf "%s", $0} / Receive/{on=1}' | tr -s ' '
}

failures=0
check() { # label, expected, got
    if [[ "$3" == *"$2"* ]]; then echo "PASS $1"; else echo "FAIL $1: got \"$3\""; failures=$((failures + 1)); fi
}

ours="cq cq de ZARNIK ZARNIK 599 nr 0123456789 pse k"
theirs="de PSK31LX test 73 tu"
for mode in bpsk qpsk; do
    flag=""; [ "$mode" = qpsk ] && flag="-q"
    socket="zarnik-interop-$mode-$$" # a tmux server of its own for each run of psk31lx
    tmux -L "$socket" new-session -d -x 100 -y 40 "psk31lx $flag -t /dev/null 2>/dev/null"
    sleep 2

    "$modem" tx --mode "$mode" --carrier 1000 --text "$ours" -o "$work/ours.wav"
    # psk31lx's own receiver now and then misses a whole transmission (its QPSK about one
    # run in five here): a second playing of the same file is allowed, and said.
    for attempt in first second; do
        tmux -L "$socket" send-keys C-x # clear its windows
        paplay --device=feed "$work/ours.wav"
        sleep 1
        [[ "$(screen_text)" == *"$ours"* ]] && break
    done
    check "$mode: zarnik-modem -> psk31lx (heard at the $attempt playing)" "$ours" "$(screen_text)"

    parec -d out.monitor --rate=8000 --channels=1 --format=s16le --file-format=wav "$work/theirs.wav" &
    recorder=$!
    tmux -L "$socket" send-keys C-t
    sleep 1
    tmux -L "$socket" send-keys -l "$theirs "
    sleep 12
    tmux -L "$socket" send-keys C-r
    sleep 2
    kill "$recorder"; wait "$recorder" 2>/dev/null || true
    check "$mode: psk31lx -> zarnik-modem" "$theirs" "$("$modem" rx --mode "$mode" --carrier 1000 "$work/theirs.wav")"
    tmux -L "$socket" kill-server
done
exit $((failures > 0))
