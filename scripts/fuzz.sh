#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz/) and runs each for SECONDS (default 30), one after
# the other:
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Each target runs on its working corpus, build-fuzz/corpus/<target>, with the seed corpus
# tests/fuzz/corpus/<target> read beside it (the seeds are never written); what a run adds to
# the working corpus is kept for the next run. An input that crashes, leaks, trips a sanitizer
# or times out is saved in build-fuzz/findings/<target>/ and makes the script exit 1. The log
# of each run is build-fuzz/logs/<target>.log; a summary line per target gives libFuzzer's
# final figures: executions, executions per second, coverage (cov: edges, ft: features) and
# corpus size. FUZZ_TIMEOUT sets the seconds one input may take (default 25).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift $(( $# > 0 ? 1 : 0 ))
# libFuzzer takes 0 for "no limit": only a positive count of seconds is accepted.
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]  (SECONDS a positive whole number)" >&2
  exit 2
fi
all_targets=(format_compiler_fuzzer formatted_input_fuzzer formatted_output_fuzzer console_line_input_fuzzer
  dialogue_fuzzer)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
build=build-fuzz

if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAPEXPLORER_SANITIZE=address,undefined \
  -DMAPEXPLORER_BUILD_FUZZERS=ON -DBUILD_TESTING=ON -DMAPEXPLORER_BUILD_BENCHMARKS=OFF \
  -DMAPEXPLORER_INSTALL_DATA=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/fuzz/lsan_suppressions.txt}
# The console and dialogue targets take a sequence of keys or answers, where a longer input
# reaches further (later questions, a line filled past its limit): they start at the full
# length instead of growing their inputs slowly from the seeds' size.
extra_options() {
  case $1 in
    console_line_input_fuzzer | dialogue_fuzzer) echo "-len_control=0 -max_len=2048" ;;
  esac
}
failed=()
summaries=()
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  log=$build/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "fuzz: $target for $seconds s"
  status=0
  # shellcheck disable=SC2046
  "$build/bin/$target" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-25}" -rss_limit_mb=4096 \
    $(extra_options "$target") -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1 ||
    status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  per_second=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  # The last status line: "#N DONE cov: C ft: F corp: U/S ..."
  last=$(grep -aE '^#[0-9]+' "$log" | tail -1 || true)
  coverage=$(sed -nE 's/.* cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+)\/.*/cov \1, ft \2, corpus \3/p' <<<"$last")
  summary="$target: ${executions:-?} executions, ${per_second:-?}/s, ${coverage:-no coverage line}"
  if [ "$status" -ne 0 ]; then
    summary+=" FAILED (exit $status, see $log and $findings/)"
    failed+=("$target")
    tail -n 40 "$log" >&2
  fi
  echo "fuzz: $summary"
  summaries+=("$summary")
done

echo "fuzz: summary ($seconds s each)"
printf '  %s\n' "${summaries[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
