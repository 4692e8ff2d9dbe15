#!/usr/bin/env bash
# tlf, the curses contest logger from Debian, keys CW through the program's cwdaemon endpoint
# (its NETKEYER), and its Esc stops a CQ with the CW held back. Drives tlf's screen in tmux
# against corvel-sim; run by hand (about 30 s):
#
#   tests/interop/tlf.sh [build]
#
# Needs: apt-get install tlf tmux
set -euo pipefail
build=$(realpath "${1:-build}")
command -v tlf >/dev/null && command -v tmux >/dev/null || { echo "SKIP: needs tlf and tmux"; exit 77; }
work=$(mktemp -d)
session=zc-tlf-$$
cleanup() {
    tmux kill-session -t "$session" 2>/dev/null || true
    kill "${program:-}" "${sim:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
"$build/tools/corvel-sim/corvel-sim" --listen 127.0.0.1:0 --user DEMO:demo --log "$work/sim.log" > "$work/sim.out" &
sim=$!
for _ in $(seq 50); do port=$(sed -n 's/.*127.0.0.1:\([0-9]*\)$/\1/p' "$work/sim.out"); [ -n "$port" ] && break; sleep 0.1; done
printf 'Virtual\r\n14025.00\r\n127.0.0.1\r\n%s\r\nDEMO\r\ndemo\r\n 2\r\n 21\r\n' "$port" > "$work/zc.ini"
cwport=$((20000 + $$ % 20000))
(cd "$work" && ZARNIKCONTROL_PORT_DIR="$work/ports" QT_QPA_PLATFORM=offscreen \
    exec "$build/src/zarnikcontrol" --cwdaemon=127.0.0.1:$cwport --cw-lead=1 zc.ini > program.log 2>&1) &
program=$!
mkdir -p "$work/tlf"
sed -e 's/^CALL=.*/CALL=TE1ST/' -e "s/^#NETKEYERPORT=.*/NETKEYERPORT=$cwport/" /usr/share/tlf/logcfg.dat > "$work/tlf/logcfg.dat"
sleep 4
tmux new-session -d -s "$session" -x 100 -y 30 "cd $work/tlf && TERM=xterm tlf"
sleep 6
tmux send-keys -t "$session" Enter
sleep 2
keyed() { grep -c "WK:" "$work/sim.log" || true; }
before=$(keyed)
tmux send-keys -t "$session" F1
sleep 8
whole=$(( $(keyed) - before ))
echo "F1 (CQ DE TE1ST TEST): $whole characters reached the station"
before=$(keyed)
tmux send-keys -t "$session" F1
sleep 0.4
tmux send-keys -t "$session" Escape
sleep 4
stopped=$(( $(keyed) - before ))
echo "F1, then Esc 0.4 s later, 1 s lead: $stopped characters reached the station"
[ "$whole" -ge 16 ] && [ "$stopped" -lt "$whole" ] || { echo "FAILED"; exit 1; }
echo "OK"
