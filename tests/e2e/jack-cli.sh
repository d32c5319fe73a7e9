#!/usr/bin/env bash
# sonavist-cli identify and send over the running JACK server against sonavist-virtual-ex5: the
# instrument must be recognised, and the voice it saved must be byte for byte the dump that
# `sonavist-cli dump` writes for the same slot.
#   jack-cli.sh CLI VIRTUAL_EX5 BANK SLOT
set -uo pipefail
cli=$1 ex5=$2 bank=$3 slot=$4
work=$(mktemp -d)
client=sonavist-cli-test-$$
mkdir "$work/save"
"$ex5" --name "$client" --save-dir "$work/save" >"$work/ex5.out" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    grep -q ready "$work/ex5.out" && break
    sleep 0.05
done
grep -q ready "$work/ex5.out" || { echo "sonavist-virtual-ex5 did not start:"; cat "$work/ex5.out"; exit 1; }
cd "$work" || exit 1
ports=(--in "$client-out:out" --out "$client:in")
failed=0

identified=$("$cli" identify "${ports[@]}")
[ "$identified" = EX5 ] || { echo "identify printed '$identified'"; cat Sonavist.log; failed=1; }
grep -q "MIDI IN=$client-out:out" Sonavist.log || { echo "the log names other ports:"; cat Sonavist.log; failed=1; }

sent=$("$cli" send "$bank" "$slot" "${ports[@]}")
[ "$sent" = "Voice sent" ] || { echo "send printed '$sent'"; cat Sonavist.log; failed=1; }
"$cli" dump "$bank" "$slot" -o expected.syx || failed=1
# The identity request was the first message it saved, the voice the second.
if ! cmp save/002.syx expected.syx; then
    echo "the instrument saved another voice than the dump:"; ls -l save; cat "$work/ex5.out"
    failed=1
fi
exit $failed
