#!/usr/bin/env bash
# Test fixture: `start STATE` starts a JACK server with the dummy driver when none runs, and
# remembers it in the file STATE; `stop STATE` stops only a server that start started. The server
# takes the name in JACK_DEFAULT_SERVER, as every JACK client started from here does.
set -euo pipefail
action=${1:?start or stop}
state=${2:?state file}

running() { [ "$(jack_wait --check 2>/dev/null)" = running ]; }
# An exited server can linger as a zombie until its new parent reaps it.
alive() {
    local stat
    stat=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [[ $stat != Z* ]]
}

case $action in
start)
    running && exit 0
    # No real-time scheduling: CI runs as root in a container without it. Short periods keep the
    # tests quick; 256 frames still carry a whole 891-byte dump in one cycle.
    JACK_NO_AUDIO_RESERVATION=1 nohup jackd --no-realtime -n "${JACK_DEFAULT_SERVER:-default}" \
        -d dummy -r 48000 -p 256 \
        >"$state.log" 2>&1 &
    pid=$!
    echo $pid >"$state"
    for _ in $(seq 100); do
        running && exit 0
        if ! alive $pid; then
            # Another server may have come up meanwhile; then it serves, and it is not ours.
            rm -f "$state"
            running && exit 0
            break
        fi
        sleep 0.1
    done
    echo "jackd did not start:" >&2
    cat "$state.log" >&2
    exit 1
    ;;
stop)
    [ -f "$state" ] || exit 0
    pid=$(cat "$state")
    rm -f "$state"
    kill "$pid" 2>/dev/null || exit 0
    for _ in $(seq 50); do
        alive "$pid" || exit 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    ;;
esac
