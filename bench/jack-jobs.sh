#!/usr/bin/env bash
# The job benchmarks over JACK: a JACK server (started when none runs) and sonavist-virtual-ex5,
# then, on the same server, the plain round trip between the program's ports and the instrument
# (median of 20), the process's first identification (once, with the JACK client's opening apart)
# and the jobs against it (median of 10).
set -euo pipefail
cd "$(dirname "$0")/.."
state=$(mktemp)
client=sonavist-bench-$$
scripts/jack-fixture.sh start "$state"
build/sonavist-virtual-ex5 --name "$client" >"$state.ex5" 2>&1 &
ex5=$!
trap 'kill $ex5 2>/dev/null; wait $ex5 2>/dev/null; scripts/jack-fixture.sh stop "$state"; rm -f "$state" "$state.ex5" "$state.log"' EXIT
for _ in $(seq 100); do
    grep -q ready "$state.ex5" && break
    sleep 0.05
done
build/bench/midi_round_trip_bench --benchmark_filter=OverJack --benchmark_report_aggregates_only=true
SONAVIST_BENCH_JACK_DEVICE=$client build/bench/job_bench --benchmark_filter=OverJack \
    --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
