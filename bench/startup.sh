#!/usr/bin/env bash
# Start-up time: from starting the program's process to its window first showing, ten runs,
# median and spread. Runs in a scratch folder with scratch settings, headless unless a display
# is present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
probe="$root/build/bench/probes/startup_probe"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config"
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
cd "$scratch"
times=()
for _ in $(seq 10); do
    times+=("$("$probe" "$(date +%s%N)" 2>/dev/null)")
done
printf '%s\n' "${times[@]}" | sort -n | awk '
    { t[NR] = $1 }
    END { printf "startup to window shown: median %.1f ms (min %.1f, max %.1f, %d runs)\n",
                 (t[5] + t[6]) / 2, t[1], t[NR], NR }'
