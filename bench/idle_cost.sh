#!/usr/bin/env bash
# Idle cost of the program: window up (offscreen unless DISPLAY is set), both virtual ports
# open and the link logged in to corvel-sim, nothing happening. Measures CPU (% of one
# core), wake-ups per second (context switches) and resident memory over SECONDS (60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=$PWD/build
work=$(mktemp -d)
trap 'kill $sim $program 2>/dev/null || true; wait 2>/dev/null; rm -rf "$work"' EXIT

"$build/tools/corvel-sim/corvel-sim" --listen 127.0.0.1:0 --user IDLE:pw > "$work/sim.out" &
sim=$!
for _ in $(seq 50); do
    port=$(sed -n 's/^corvel-sim listening on 127.0.0.1:\([0-9]*\)$/\1/p' "$work/sim.out")
    [ -n "$port" ] && break
    sleep 0.1
done
printf 'Virtual\r\n14025.00\r\n127.0.0.1\r\n%s\r\nIDLE\r\npw\r\n 2\r\n 21\r\n' "$port" > "$work/idle.ini"
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
(cd "$work" && ZARNIKCONTROL_PORT_DIR="$work/ports" exec "$build/src/zarnikcontrol" idle.ini) &
program=$!
sleep 8 # start-up, connect and login

ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
switches() { awk '/ctxt_switches/ {n += $2} END {print n}' "/proc/$program/status"; }
t0=$(ticks); s0=$(switches)
sleep "$seconds"
t1=$(ticks); s1=$(switches)
hz=$(getconf CLK_TCK)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$program/status")
echo "idle for ${seconds} s, logged in, both virtual ports open:"
awk -v t=$((t1 - t0)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "  CPU        %.2f %% of one core\n", 100 * t / hz / s}'
awk -v w=$((s1 - s0)) -v s="$seconds" 'BEGIN {printf "  wake-ups   %.1f per second\n", w / s}'
awk -v r="$rss" 'BEGIN {printf "  memory     %.1f MB resident\n", r / 1024}'
