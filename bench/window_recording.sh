#!/usr/bin/env bash
# The same Henon recording (a = 1.4, b = 0.3, x0 = y0 = 0.1, Ntrans = 1000, N = 999999) in the
# real window under Xvfb and in the terminal, side by side, ROUNDS times each (default 3).
# Both are timed the same way from outside by recording_watch: from the first buffer of the
# series file to its last byte. A second window run of each round has recording_watch grab the
# screen as fast as it can and count the grabs that changed: the frame must keep repainting
# (target: at least 20 times a second) while the recording runs. The grabbing takes processor
# time from the explorer, so that run is not timed. Prints the best times, their ratio
# (target window / terminal <= 1.2) and the repaints seen per second.
#
#   bench/window_recording.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
rounds=${2:-3}
explorer=$(cd "$build/bin" && pwd)/mapexplorer
[ -x "$explorer" ] || { echo "no $explorer: build it first" >&2; exit 2; }
for tool in xvfb-run xdotool pkg-config; do
  command -v "$tool" >/dev/null || { echo "window_recording: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/window-recording-XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046
g++ -O2 -std=c++20 -fPIC -o "$work/watch" bench/recording_watch.cpp $(pkg-config --cflags --libs Qt6Gui)
expected=$(( 999999 * 22 ))

terminal_run() {
  local file=$work/terminal-$1.dat
  printf '2\n1.4\n0.3\n0.1\n0.1\n1\ny\n1000\n999999\nn\nn\nn\nn\n' |
    env -u DISPLAY -u WAYLAND_DISPLAY "$explorer" --terminal "$file" >/dev/null 2>&1 &
  local pid=$!
  "$work/watch" "$file" $expected 60 | awk '/^seconds/ { print $2 }'
  wait $pid || true
}

# One recording in the frame: the answers typed, the last one starts the recording.
cat >"$work/window-run.sh" <<'INNER'
set -u
explorer=$1 file=$2 watch=$3 expected=$4 screen=${5:-}
"$explorer" "$file" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  xdotool search --name mapexplorer >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1.5
for answer in 2 1.4 0.3 0.1 0.1 1 y 1000 999999; do
  xdotool type --delay 20 -- "$answer"
  xdotool key Return
  sleep 0.4
done
xdotool type --delay 20 -- n
"$watch" "$file" "$expected" 60 $screen >"$file.watch" &
watcher=$!
sleep 0.3
xdotool key Return
wait $watcher
# The recording is done; the program's end is not part of the measure.
kill -KILL $pid 2>/dev/null
wait $pid 2>/dev/null
cat "$file.watch"
INNER

# One window run: $1 the round, $2 --screen to count repaints instead of timing.
window_run() {
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/window-run.sh" "$explorer" "$work/window-$1$2.dat" "$work/watch" \
    $expected "$2"
}

terminal_times=() window_times=() repaints=()
for (( round = 0; round < rounds; ++round )); do
  terminal_times+=("$(terminal_run "$round")")
  window_times+=("$(window_run "$round" "" | awk '/^seconds/ { print $2 }')")
  repaints+=("$(window_run "$round" --screen | awk '/^changes/ { print $6 }')")
done

best() { printf '%s\n' "$@" | sort -g | head -1; }
terminal_best=$(best "${terminal_times[@]}")
window_best=$(best "${window_times[@]}")
echo "Henon recording, N = 999999, $rounds rounds (seconds from the first flushed buffer to the last byte)"
echo "  terminal: ${terminal_times[*]}"
echo "  window:   ${window_times[*]}"
echo "  repaints seen per second in the window: ${repaints[*]} (target >= 20; lowest $(best "${repaints[@]}"))"
awk -v w="$window_best" -v t="$terminal_best" 'BEGIN { printf "ratio window / terminal (best, target <= 1.2): %.2f\n", w / t }'
