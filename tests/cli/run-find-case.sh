#!/usr/bin/env bash
# Runs "sonavist-cli find" in a scratch folder holding copies of bank files, with a cache folder
# of its own, and checks the exit status, standard output and standard error. In the output the
# scratch folder's path reads "@"; TEXT takes \t and \n.
#   run-find-case.sh --status N [--stdout TEXT] [--stderr TEXT] [--stderr-has TEXT]
#                    [--bank FILE]... [--damaged-index] -- COMMAND...
# In COMMAND the word EMPTY stands for an empty argument, which CMake would drop.
set -uo pipefail
status=0 stdout="" stderr="" stderr_has="" damaged=0 banks=()
while [ "$1" != "--" ]; do
    case "$1" in
        --status) status=$2; shift 2 ;;
        --stdout) stdout=$2; shift 2 ;;
        --stderr) stderr=$2; shift 2 ;;
        --stderr-has) stderr_has=$2; shift 2 ;;
        --bank) banks+=("$2"); shift 2 ;;
        --damaged-index) damaged=1; shift ;;
        *) echo "bad option $1"; exit 2 ;;
    esac
done
shift
command=()
for arg in "$@"; do [ "$arg" = EMPTY ] && command+=("") || command+=("$arg"); done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/banks" "$work/cache/Sonavist"
for bank in "${banks[@]}"; do cp "$bank" "$work/banks/"; done
[ "$damaged" = 1 ] && head -c 20000 /dev/zero | tr '\0' 'x' >"$work/cache/Sonavist/voices.sqlite"

(cd "$work" && XDG_CACHE_HOME="$work/cache" "${command[@]}" >"$work/out" 2>"$work/err")
actual=$?
failed=0
[ "$actual" -eq "$status" ] || { echo "exit status $actual, expected $status"; failed=1; }
# An x after the text keeps its last line end from being dropped.
shown() { sed "s|$work|@|g" "$1"; echo x; }
text() { printf '%b' "$1"; echo x; }
[ "$(shown "$work/out")" = "$(text "$stdout")" ] ||
    { echo "standard output:"; shown "$work/out"; echo "expected:"; text "$stdout"; failed=1; }
if [ -n "$stderr_has" ]; then
    grep -qF -- "$stderr_has" "$work/err" || { echo "standard error lacks '$stderr_has':"; cat "$work/err"; failed=1; }
elif [ "$(shown "$work/err")" != "$(text "$stderr")" ]; then
    echo "standard error:"; shown "$work/err"; echo "expected:"; text "$stderr"; failed=1
fi
exit $failed
