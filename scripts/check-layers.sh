#!/usr/bin/env bash
# Fails when an include runs up the layers: platform < voice < midi < midi's backends < the
# backend list < conversation and the voice library < ui < app and tools. A folder includes its
# own headers and those of the layers below it; a backend (any other folder under midi/) includes
# none of its siblings.
# Headers are named by their path under src/; a bare name must be a file of the same folder.
# Qt stays in ui, app and tools. With --graph, prints which folder includes which instead.
set -euo pipefail
cd "$(dirname "$0")/.."

# The folder a source file or an included path belongs to: src/midi/rtmidi/X.h -> midi/rtmidi.
folder_of() {
    local dir=${1%/*}
    dir=${dir#src/}
    case $dir in
        tools/*) echo tools ;;
        *) echo "$dir" ;;
    esac
}

rank_of() {
    case $1 in
        platform) echo 0 ;;
        voice) echo 1 ;;
        midi) echo 2 ;;
        midi/backends) echo 4 ;;
        midi/*) echo 3 ;;
        conversation | library) echo 5 ;;
        ui) echo 6 ;;
        app | tools) echo 7 ;;
        *) echo unknown ;;
    esac
}

graph=0
[ "${1:-}" = --graph ] && graph=1
faults=0
edges=()
while IFS= read -r file; do
    own=$(folder_of "$file")
    own_rank=$(rank_of "$own")
    if [ "$own_rank" = unknown ]; then
        echo "$file: folder $own has no layer; add it to scripts/check-layers.sh" >&2
        faults=1
        continue
    fi
    while IFS= read -r line; do
        number=${line%%:*}
        text=${line#*:}
        if [[ $text =~ ^#include\ *\<Q ]]; then
            if ((own_rank < 6)); then
                echo "$file:$number: Qt in layer $own" >&2
                faults=1
            fi
            continue
        fi
        [[ $text =~ ^#include\ *\"([^\"]+)\" ]] || continue
        header=${BASH_REMATCH[1]}
        if [[ $header != */* ]]; then
            if [ ! -e "${file%/*}/$header" ]; then
                echo "$file:$number: \"$header\" is not in this folder: name it by its path" >&2
                faults=1
            fi
            continue
        fi
        target=$(folder_of "src/$header")
        [ "$target" = "$own" ] && continue
        edges+=("$own -> $target")
        target_rank=$(rank_of "$target")
        if [ "$target_rank" = unknown ] || ((target_rank >= own_rank)); then
            echo "$file:$number: $own includes $header from layer $target, not below it" >&2
            faults=1
        fi
    done < <(grep -n '^#include' "$file")
done < <(find src tools -name '*.h' -o -name '*.cpp' | sort)

if ((graph)); then
    printf '%s\n' "${edges[@]}" | sort | uniq -c
fi
exit $faults
