#!/usr/bin/env bash
# Runs one job command of sonavist-cli in a fresh directory and checks its exit status, standard
# output, what standard error holds and the log it leaves.
#   run-job-case.sh --status N [--stdout TEXT | --stdout-has TEXT... | --stdout-to FILE]
#                   [--stderr-has TEXT]... [--log EXPECTED | --no-log]
#                   [--dir-named NAME | --pipe-named NAME | --link-named NAME TARGET]
#                   -- COMMAND...
# The log is compared with its time stamps masked; --no-log expects none, as when nothing was
# sent. --dir-named puts a directory, --pipe-named a named pipe that nothing reads, --link-named
# a symbolic link to TARGET, in the way of a file the command would write. --stdout-to sends
# standard output elsewhere (/dev/full) and checks nothing of it.
set -uo pipefail
status=0 stdout_text="" stdout_has=() stdout_to=out log="" no_log="" stderr_has=() in_the_way=""
make_way=mkdir
while [ "$1" != "--" ]; do
    case "$1" in
        --status) status=$2; shift 2 ;;
        --stdout) stdout_text=$2; shift 2 ;;
        --stdout-has) stdout_has+=("$2"); shift 2 ;;
        --stdout-to) stdout_to=$2; shift 2 ;;
        --stderr-has) stderr_has+=("$2"); shift 2 ;;
        --log) log=$2; shift 2 ;;
        --no-log) no_log=1; shift ;;
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

touch out
"$@" >"$stdout_to" 2>err
actual=$?
failed=0
[ "$actual" -eq "$status" ] || { echo "exit status $actual, expected $status"; failed=1; }
expected_out="${stdout_text:+$stdout_text$'\n'}"
if [ ${#stdout_has[@]} -eq 0 ] && [ "$(cat out; echo x)" != "${expected_out}x" ]; then
    echo "standard output: '$(cat out)', expected '$stdout_text'"; failed=1
fi
for text in "${stdout_has[@]}"; do
    grep -qF -- "$text" out || { echo "standard output lacks '$text':"; cat out; failed=1; }
done
if [ -n "$no_log" ] && [ -e Sonavist.log ]; then
    echo "Sonavist.log written: the job ran"; failed=1
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
