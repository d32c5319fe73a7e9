#!/usr/bin/env bash
# Runs one job command of sonavist-cli in a fresh directory and checks its exit status, standard
# output, what standard error holds and the log it leaves.
#   run-job-case.sh --status N [--stdout TEXT] [--stderr-has TEXT]... [--log EXPECTED]
#                   [--dir-named NAME | --pipe-named NAME | --link-named NAME TARGET]
#                   -- COMMAND...
# The log is compared with its time stamps masked; --dir-named puts a directory, --pipe-named a
# named pipe that nothing reads, --link-named a symbolic link to TARGET, in the way of a file the
# command would write.
set -uo pipefail
status=0 stdout_text="" log="" stderr_has=() in_the_way="" make_way=mkdir
while [ "$1" != "--" ]; do
    case "$1" in
        --status) status=$2; shift 2 ;;
        --stdout) stdout_text=$2; shift 2 ;;
        --stderr-has) stderr_has+=("$2"); shift 2 ;;
        --log) log=$2; shift 2 ;;
        --dir-named) in_the_way=$2; make_way=mkdir; shift 2 ;;
        --pipe-named) in_the_way=$2; make_way=mkfifo; shift 2 ;;
        --link-named) in_the_way=$2; make_way="ln -s $3"; shift 3 ;;
        *) echo "bad option $1"; exit 2 ;;
    esac
done
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
[ -n "$in_the_way" ] && $make_way "$in_the_way"

"$@" >out 2>err
actual=$?
failed=0
[ "$actual" -eq "$status" ] || { echo "exit status $actual, expected $status"; failed=1; }
expected_out="${stdout_text:+$stdout_text$'\n'}"
if [ "$(cat out; echo x)" != "${expected_out}x" ]; then
    echo "standard output: '$(cat out)', expected '$stdout_text'"; failed=1
fi
for text in "${stderr_has[@]}"; do
    grep -qF -- "$text" err || { echo "standard error lacks '$text':"; cat err; failed=1; }
done
mask() { sed -E 's/[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9:]{8} [0-9]{4}$/<time>/' "$1"; }
if [ -n "$log" ] && ! cmp -s <(mask Sonavist.log) <(mask "$log"); then
    echo "Sonavist.log differs from $log:"
    diff <(mask Sonavist.log | od -c) <(mask "$log" | od -c) | head -20
    failed=1
fi
exit $failed
