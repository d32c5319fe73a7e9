#!/usr/bin/env bash
# Runs the program: the dialog when a display is present, else a headless demo of the
# command-line tool on a demo bank.
set -euo pipefail
cd "$(dirname "$0")/.."
# With a display the dialog runs; without one, the headless demo below.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec scripts/run-dialog.sh
fi
cli=$PWD/build/sonavist-cli
bank=res/banks/Demo1.s1v
echo "Sonavist demo (headless)"
echo
# The jobs write Sonavist.log into the current directory, as the dialog does: here build/.
echo "\$ sonavist-cli identify"
(cd build && "$cli" identify)
echo
echo "\$ sonavist-cli list --cat-order $bank"
"$cli" list --cat-order "$bank"
echo
dump=$(mktemp --suffix=.syx)
trap 'rm -f "$dump"' EXIT
echo "\$ sonavist-cli dump $bank I1-001 -o $dump"
"$cli" dump "$bank" I1-001 -o "$dump"
size=$(stat -c %s "$dump")
echo "bulk dump: $size bytes, header$(head -c 9 "$dump" | od -An -tx1 | tr a-f A-F)," \
     "checksum$(tail -c 2 "$dump" | head -c 1 | od -An -tx1 | tr a-f A-F)," \
     "end$(tail -c 1 "$dump" | od -An -tx1 | tr a-f A-F)"
echo
echo "\$ sonavist-cli dump $bank I1-022"
"$cli" dump "$bank" I1-022 2>&1 || echo "(exit status $?)"
echo
echo "\$ sonavist-cli send $bank I1-002 --report"
(cd build && "$cli" send "../$bank" I1-002 --report)
echo
echo "build/Sonavist.log:"
tr -d '\r' < build/Sonavist.log
