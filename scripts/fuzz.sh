#!/usr/bin/env bash
# Builds the fuzz targets with the address and undefined-behaviour sanitizers and runs each from
# its seed corpus for a bounded time: a minute in all, or SECONDS_PER_TARGET seconds each when
# given. New inputs go to a scratch folder, never into the checked-in corpus; a crashing input is
# kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
dir=build-fuzz

echo "== $dir"
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSONAVIST_FUZZ=ON \
      -DSONAVIST_UI=OFF -DBUILD_TESTING=OFF -DSONAVIST_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$jobs" --target fuzzers

targets=("$dir"/fuzz/*_fuzzer)
seconds=${1:-$((60 / ${#targets[@]}))}
mkdir -p "$dir/findings"
for target in "${targets[@]}"; do
    name=$(basename "$target" _fuzzer)
    scratch=$(mktemp -d)
    echo "-- $name: ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
            -artifact_prefix="$dir/findings/$name-" "$scratch" "fuzz/corpus/$name" \
            >"$dir/findings/$name.log" 2>&1; then
        tail -n 40 "$dir/findings/$name.log"
        rm -rf "$scratch"
        echo "$name: failed; the input is in $dir/findings/"
        exit 1
    fi
    grep -E '^stat::number_of_executed_units' "$dir/findings/$name.log" | sed 's/^stat::/   /'
    rm -rf "$scratch"
done
