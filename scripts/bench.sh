#!/usr/bin/env bash
# Prints every benchmark as medians with their spread (standard deviation and coefficient of
# variation over 10 repetitions), after the machine's load, which the figures depend on.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
# Google Benchmark's aggregates without their means. Its context lines go to standard error,
# shown only when a run fails.
run() {
    local errors status=0
    errors=$(mktemp)
    "$@" 2>"$errors" | grep -vE '_mean |^-+$' || status=$?
    [ "$status" -eq 0 ] || cat "$errors" >&2
    rm -f "$errors"
    return "$status"
}
for b in build/bench/*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    run "$b" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
done
[ -x bench/startup.sh ] && [ -x build/bench/probes/startup_probe ] && { echo "== startup"; bench/startup.sh; }
command -v jackd >/dev/null && [ -x build/sonavist-virtual-ex5 ] && { echo "== jobs over JACK"; run bench/jack-jobs.sh; }
