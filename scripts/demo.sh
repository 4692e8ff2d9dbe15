#!/usr/bin/env bash
# The whole bridge with nothing else installed: a simulated station server (corvel-sim) on
# this computer, and ZarnikControl logged in to it with its own virtual ports open.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
top=$PWD
demo=$(mktemp -d "${TMPDIR:-/tmp}/zarnikcontrol-demo.XXXXXX")

# The simulator picks a free port and tells it on its first line.
"$top/build/tools/corvel-sim/corvel-sim" --listen 127.0.0.1:0 --user DEMO:demo --wander 3 \
    --log "$demo/corvel-sim.log" > "$demo/corvel-sim.out" &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    port=$(sed -n 's/^corvel-sim listening on 127.0.0.1:\([0-9]*\)$/\1/p' "$demo/corvel-sim.out")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "${port:-}" ] || { echo "corvel-sim did not start" >&2; exit 1; }

# Radio and keyer on the program's own virtual ports, the station server on this computer.
printf 'Virtual\r\n14025.00\r\n127.0.0.1\r\n%s\r\nDEMO\r\ndemo\r\n 2\r\n 21\r\n' "$port" > "$demo/demo.ini"

folder=${ZARNIKCONTROL_PORT_DIR:-${XDG_RUNTIME_DIR:+$XDG_RUNTIME_DIR/zarnikcontrol}}
folder=${folder:-$HOME/.local/state/zarnikcontrol/ports}
cat <<INFO
ZarnikControl demo
  simulated station server: 127.0.0.1:$port (log: $demo/corvel-sim.log)
  the red light comes on when the link is up, the green one when the login is accepted;
  the frequency follows the simulated rig, which moves 0.5 kHz every 3 seconds.
  Point a logger at $folder/radio (CAT, Kenwood TS-850, 19200 baud)
  and $folder/keyer (WinKeyer), for example:
    rigctl -m 2009 -r $folder/radio -s 19200 f
INFO
cd "$demo"
"$top/build/src/zarnikcontrol" demo.ini
