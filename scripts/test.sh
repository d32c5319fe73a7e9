#!/usr/bin/env bash
# Checks the format of the tree, then builds and runs every test: the plain build and its Debian
# package, then the address and undefined-behaviour sanitizer build, then the thread sanitizer
# build for the threaded tests, then a minute of fuzzing. The builds treat warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# build_and_test DIR CTEST_ARGS [CMAKE_ARGS...]
build_and_test() {
    local dir=$1 ctest_args=$2
    shift 2
    echo "== $dir"
    cmake -S . -B "$dir" -G Ninja -DSONAVIST_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" $ctest_args)
}

# The sanitizer builds are light on optimisation and debug detail: they compile much faster, and
# line tables are all the sanitizers' reports need.
sanitized=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DSONAVIST_BENCH=OFF)

scripts/check-format.sh
build_and_test build ""
# The package is made from the plain build, which is already up to date.
scripts/package-check.sh build
build_and_test build-asan "" "${sanitized[@]}" -DSONAVIST_SANITIZE=address,undefined
build_and_test build-tsan "-L threads" "${sanitized[@]}" -DSONAVIST_SANITIZE=thread -DSONAVIST_UI=OFF
scripts/fuzz.sh
