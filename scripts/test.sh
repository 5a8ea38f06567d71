#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: all tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan), the threaded ones again under ThreadSanitizer
# (build-tsan), then each fuzz target for a short while (build-fuzz, FUZZ_SECONDS each,
# default 30), so that a regression that a seed or a short run finds fails the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
# The benchmarks print figures and belong in a build without sanitizers; tests don't need them.
export EXTRA_CMAKE_ARGS="-DMAPEXPLORER_BUILD_BENCHMARKS=OFF ${EXTRA_CMAKE_ARGS:-}"

scripts/build.sh build-asan address,undefined
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

if grep -rqs 'threaded' tests --include=CMakeLists.txt; then
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
  scripts/build.sh build-tsan thread threaded_tests
  (cd build-tsan && ctest --output-on-failure -L threaded)
fi

scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
