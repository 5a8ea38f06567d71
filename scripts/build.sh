#!/usr/bin/env bash
# Configures and builds one build directory: scripts/build.sh DIR [SANITIZERS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
sanitize=${2:-}
shift $(( $# > 2 ? 2 : $# ))
# EXTRA_CMAKE_ARGS: more -D settings, e.g. -DMAPEXPLORER_BUILD_BENCHMARKS=OFF.
# shellcheck disable=SC2086
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAPEXPLORER_SANITIZE="$sanitize" ${EXTRA_CMAKE_ARGS:-} >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$dir" -j"$(nproc)" --target "$@"
else
  cmake --build "$dir" -j"$(nproc)"
fi
