#!/bin/bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (ASAN_BUILD_DIR
# overrides it) and runs the unit, GL, end-to-end and fuzz tests under them; a sanitizer report fails its
# test. Built with clang when it is installed, which brings the libFuzzer targets. Extra arguments go to
# ctest instead of the label choice.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD_DIR:-$root/build-asan}
compiler=$(command -v clang++ || command -v clang++-14 || command -v c++)
cmake -S "$root" -B "$build" -DSANITIZE=ON -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
if [ $# -eq 0 ]; then
    set -- -L 'unit|gl|e2e|fuzz'
fi
ctest --output-on-failure "$@"
