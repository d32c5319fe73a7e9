#!/usr/bin/env bash
# Prints every benchmark as medians with their spread.
set -euo pipefail
cd "$(dirname "$0")/.."
for b in build/bench/*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
done
[ -x bench/startup.sh ] && [ -x build/bench/probes/startup_probe ] && { echo "== startup"; bench/startup.sh; }
command -v jackd >/dev/null && [ -x build/sonavist-virtual-ex5 ] && { echo "== jobs over JACK"; bench/jack-jobs.sh; }
