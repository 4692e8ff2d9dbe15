# Sourced by the interop checks: a private PulseAudio server in a temporary folder, set up by
# the module lines on standard input, stopped and removed when the script exits.
#   start_private_pulse < modules.pa   -> sets $work; returns 1 if the server would not start
# A caller's own cleanup goes in the function `before_pulse_stops`, if it defines one.

start_private_pulse() {
    work=$(mktemp -d)
    export XDG_RUNTIME_DIR=$work/run HOME=$work
    mkdir -p "$XDG_RUNTIME_DIR"
    { echo "load-module module-native-protocol-unix"; cat; } > "$work/pa.pa"
    pulseaudio -n -F "$work/pa.pa" --exit-idle-time=-1 --daemonize=no 2>"$work/pulse.log" &
    pulse=$!
    trap stop_private_pulse EXIT
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && return 0; sleep 0.1; done
    echo "PulseAudio would not start here:"; cat "$work/pulse.log"
    return 1
}

stop_private_pulse() {
    declare -F before_pulse_stops >/dev/null && before_pulse_stops
    kill "$pulse" 2>/dev/null || true
    wait "$pulse" 2>/dev/null || true
    rm -rf "$work"
}
