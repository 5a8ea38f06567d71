#!/usr/bin/env bash
# The whole explorer against the two programs a user could write instead, timed side by side:
# one Henon recording (a = 1.4, b = 0.3, x0 = y0 = 0.1, Ntrans = 1000, N = 999999, x written
# under F20.10) by
#   - a plain C++ program (std::to_chars, padding, one 1 MiB buffer, fwrite),
#   - a gfortran program doing WRITE(1,'(F20.10)') x in the loop (when gfortran is there),
#   - mapexplorer --terminal --save-pictures for the whole run, dialogue and plot included.
# The three run in turn, ROUNDS times (default 7); prints the best and the median wall time
# of each and the ratios explorer / plain (target <= 1.5) and gfortran / explorer (target
# >= 3). Checks that the explorer's series file is byte for byte the plain program's.
#
#   [TMPDIR=DIR] bench/recording_three_way.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
rounds=${2:-7}
explorer=$build/bin/mapexplorer
[ -x "$explorer" ] || { echo "no $explorer: build it first (scripts/build.sh $build \"\" mapexplorer)" >&2; exit 2; }

# In TMPDIR when set (a memory file system such as /dev/shm takes the disk out of the figures).
work=$(mktemp -d "${TMPDIR:-/tmp}/recording-three-way-XXXXXX")
trap 'rm -rf "$work"' EXIT
g++ -O2 -std=c++20 -ffp-contract=off -o "$work/plain" bench/henon_plain_program.cpp
have_fortran=no
if command -v gfortran >/dev/null; then
  gfortran -O2 -ffp-contract=off -o "$work/fortran" bench/henon_series.f90
  have_fortran=yes
fi
printf '2\n1.4\n0.3\n0.1\n0.1\n1\ny\n1000\n999999\nn\nn\nn\nn\n' >"$work/answers"
mkdir -p "$work/pictures"

# Wall seconds of one run of the command.
seconds_of() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(( end - start ))" | awk '{ printf "%.4f\n", $1 / 1e9 }'
}
run_explorer() {
  env -u DISPLAY -u WAYLAND_DISPLAY "$explorer" --terminal --save-pictures "$work/pictures" "$work/explorer.dat" \
    <"$work/answers"
}

# Each run writes a new file: removing the last run's (freeing its pages) is not timed.
plain_times=() fortran_times=() explorer_times=()
for (( round = 0; round < rounds; ++round )); do
  rm -f "$work/plain.dat" "$work/fortran.dat" "$work/explorer.dat"
  plain_times+=("$(seconds_of "$work/plain" "$work/plain.dat")")
  if [ $have_fortran = yes ]; then fortran_times+=("$(seconds_of "$work/fortran" "$work/fortran.dat")"); fi
  explorer_times+=("$(seconds_of run_explorer)")
done

best() { printf '%s\n' "$@" | sort -g | head -1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

plain_best=$(best "${plain_times[@]}")
explorer_best=$(best "${explorer_times[@]}")
echo "Henon recording, N = 999999, Ntrans = 1000, $rounds rounds (wall seconds, best / median)"
printf '  plain C++ loop (to_chars, 1 MiB buffer):  %8.4f / %8.4f\n' "$plain_best" "$(median "${plain_times[@]}")"
if [ $have_fortran = yes ]; then
  fortran_best=$(best "${fortran_times[@]}")
  printf "  gfortran WRITE(1,'(F20.10)') x loop:       %8.4f / %8.4f\n" "$fortran_best" "$(median "${fortran_times[@]}")"
else
  echo "  gfortran loop: not measured (no gfortran)"
fi
printf '  mapexplorer --terminal, whole run:         %8.4f / %8.4f\n' "$explorer_best" "$(median "${explorer_times[@]}")"
echo "ratio explorer / plain loop (best, target <= 1.5):   $(ratio "$explorer_best" "$plain_best")"
if [ $have_fortran = yes ]; then
  echo "ratio gfortran / explorer (best, target >= 3):       $(ratio "$fortran_best" "$explorer_best")"
fi
if cmp -s "$work/explorer.dat" "$work/plain.dat"; then
  echo "series files identical: yes"
else
  echo "series files identical: NO"
  exit 1
fi
