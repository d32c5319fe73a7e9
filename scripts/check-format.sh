#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format (the repository's
# .clang-format) makes of it, and names the files. Reformat with:
#   git ls-files '*.h' '*.cpp' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format || command -v clang-format-14)
mapfile -t files < <(git ls-files '*.h' '*.cpp')
if ! "$format" --dry-run --Werror "${files[@]}" 2>/dev/null; then
    "$format" --dry-run "${files[@]}" 2>&1 | grep -o '^[^:]*\.\(h\|cpp\)' | sort -u >&2
    echo "check-format: the files above need clang-format -i" >&2
    exit 1
fi
