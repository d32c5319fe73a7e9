#!/usr/bin/env bash
# Runs one command-line case and checks its exit status, standard output, standard error and
# output file.
#   run-cli-case.sh --status N|fail [--stdout EXPECTED] [--stderr TEXT] [--file PATH EXPECTED|-]
#                   -- COMMAND...
# EXPECTED '-' for --file means the file must not exist afterwards.
set -uo pipefail
status=0 stdout_file="" stderr_text="" file="" file_expected=""
while [ "$1" != "--" ]; do
    case "$1" in
        --status) status=$2; shift 2 ;;
        --stdout) stdout_file=$2; shift 2 ;;
        --stderr) stderr_text=$2; shift 2 ;;
        --file) file=$2; file_expected=$3; shift 3 ;;
        *) echo "bad option $1"; exit 2 ;;
    esac
done
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -n "$file" ] && rm -f "$file"

"$@" >"$work/out" 2>"$work/err"
actual=$?
failed=0
if [ "$status" = fail ]; then
    [ "$actual" -ne 0 ] || { echo "exit status 0, expected a failure"; failed=1; }
elif [ "$actual" -ne "$status" ]; then
    echo "exit status $actual, expected $status"; failed=1
fi
if [ -n "$stdout_file" ] && ! cmp -s "$work/out" "$stdout_file"; then
    echo "standard output differs from $stdout_file:"
    diff <(od -c "$work/out") <(od -c "$stdout_file") | head -20
    failed=1
fi
if [ "$status" = fail ] && [ -s "$work/out" ]; then
    echo "standard output not empty on failure"; failed=1
fi
expected_err=""
[ -n "$stderr_text" ] && expected_err="$stderr_text"$'\n'
if [ "$(cat "$work/err"; echo x)" != "${expected_err}x" ]; then
    echo "standard error: '$(cat "$work/err")', expected '$stderr_text'"; failed=1
fi
if [ -n "$file" ]; then
    if [ "$file_expected" = - ]; then
        [ -e "$file" ] && { echo "$file written on failure"; failed=1; }
        ls "$(dirname "$file")" | grep -qF "$(basename "$file")." && { echo "temporary file left behind"; failed=1; }
    elif ! cmp -s "$file" "$file_expected"; then
        echo "$file differs from $file_expected"; failed=1
    fi
fi
exit $failed
