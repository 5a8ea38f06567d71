#!/usr/bin/env bash
# Memory of one recording against its length: the peak resident size of the whole explorer run
# in the terminal (Henon, Ntrans = 1000) at N = 1000 and N = 999999, without noise and with
# noise (whose vector holds 8 bytes a point). Target: the size at N = 999999 within 5 MB of the
# size at N = 1000, plus 8 bytes a point where noise is added.
#
#   bench/recording_memory.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
explorer=$build/bin/mapexplorer
[ -x "$explorer" ] || { echo "no $explorer: build it first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "recording_memory: /usr/bin/time is missing" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/recording-memory-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Peak resident kilobytes of one run: N points, noise y or n.
peak_kilobytes() {
  local noise_answers='n\n'
  [ "$2" = y ] && noise_answers='y\n1.0\n'
  printf "2\n1.4\n0.3\n0.1\n0.1\n1\ny\n1000\n%s\n${noise_answers}n\nn\nn\n" "$1" |
    env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/time -f %M -o "$work/peak" "$explorer" --terminal \
      --save-pictures "$work" "$work/series.dat" >/dev/null 2>&1
  cat "$work/peak"
}

status=0
for noise in n y; do
  small=$(peak_kilobytes 1000 $noise)
  large=$(peak_kilobytes 999999 $noise)
  allowance=$(( 5 * 1024 ))
  [ $noise = y ] && allowance=$(( allowance + 999999 * 8 / 1024 ))
  growth=$(( large - small ))
  verdict=within
  [ $growth -le $allowance ] || { verdict=OVER; status=1; }
  printf 'noise %s: peak %6d KB at N = 1000, %6d KB at N = 999999: %+d KB (allowed %d KB) %s\n' \
    $noise "$small" "$large" $growth $allowance $verdict
done
exit $status
