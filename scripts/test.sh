#!/usr/bin/env bash
# Builds and runs every test: the plain build, then the address and undefined-behaviour
# sanitizer build, then the thread sanitizer build for the threaded tests, then a minute of
# fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

build_and_test() {
    local dir=$1 flags=$2 ctest_args=$3
    echo "== $dir"
    cmake -S . -B "$dir" -G Ninja $flags >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" $ctest_args)
}

build_and_test build "" ""
build_and_test build-asan "-DSONAVIST_SANITIZE=address,undefined -DSONAVIST_BENCH=OFF" ""
build_and_test build-tsan "-DSONAVIST_SANITIZE=thread -DSONAVIST_BENCH=OFF -DSONAVIST_UI=OFF" "-L threads"
scripts/fuzz.sh
