#!/usr/bin/env bash
# Smoke test of the frame on screen: starts the explorer in a real window under Xvfb, types a
# whole recording (map 1, lambda 1.9, x0 0.1, default settings, no noise, the series file
# chosen in the file dialog), goes back to the "Input Window" with Window > Input (the new
# "Graphics" window takes the focus when it first appears), selects the first rows of the
# dialogue with Edit > Select Text and Shift+Down and copies them (the clipboard must hold
# the dialogue's first line), pastes the three remaining answers ("n" three times) from the
# clipboard with Edit > Paste, answers Yes in the end box, and keeps screenshots of the
# frame along the way.
#
#   scripts/gui-smoke.sh [BUILD_DIR] [OUTPUT_DIR]
#
# BUILD_DIR defaults to "build"; the explorer BUILD_DIR/bin/mapexplorer is built there when
# needed (SMOKE_BINARY names another). Screenshots and the series file go to OUTPUT_DIR
# (default BUILD_DIR/gui-smoke). Exits non-zero when the program does not end as expected or the
# series file is not complete.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/gui-smoke}

for tool in xvfb-run xdotool import xclip; do
  command -v "$tool" >/dev/null || { echo "gui-smoke: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 2; }
done

binary=${SMOKE_BINARY:-}
if [ -z "$binary" ]; then
  [ -d "$build" ] || cmake -S . -B "$build" >/dev/null
  cmake --build "$build" -j2 --target mapexplorer >/dev/null
  binary=$build/bin/mapexplorer
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
rm -f "$out"/*.png "$out/series.txt" "$out/program.log" "$out/exit-code" "$out/copied.txt"

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -u
binary=$1
out=$2
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
"$binary" >"$out/program.log" 2>&1 &
pid=$!

# Types one answer into the focused window and ends it with Enter.
answer() {
  xdotool type --delay 40 -- "$1"
  xdotool key Return
  sleep "${2:-0.7}"
}
shot() { import -window root "$out/$1.png"; }

# The frame is up once a window with the program's title exists.
for _ in $(seq 1 100); do
  xdotool search --name "$(basename "$binary")" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2
shot 1-start
answer 1          # Select a map: quadratic
answer 1.9        # lambda
answer 0.1        # x0
answer n          # Change settings?
answer n 1.5      # Add noise?
# The file dialog for unit 1: its file name field has the focus.
shot 2-file-dialog
answer "$out/series.txt" 3
shot 3-recorded
# The plot window has the focus now: Window > Input brings back the window that waits.
xdotool key alt+w
sleep 0.5
xdotool key i
sleep 0.5
# Edit > Select Text pauses the program and puts the mark at the top left; Shift+Down
# selects whole rows; Edit > Copy puts them on the clipboard and resumes the program.
xdotool key alt+e
sleep 0.5
xdotool key t
sleep 0.5
for _ in 1 2 3 4; do xdotool key shift+Down; sleep 0.1; done
sleep 0.5
shot 4-selection
xdotool key alt+e
sleep 0.5
xdotool key c
sleep 0.5
xclip -o -selection clipboard >"$out/copied.txt" 2>/dev/null || true
# The remaining answers in one paste: Record again? Different values? Different system?
printf 'n\r\nn\r\nn\r\n' | xclip -i -selection clipboard
sleep 0.3
xdotool key alt+e
sleep 0.5
xdotool key p
sleep 2
shot 5-end-box
xdotool key y     # Yes: close the frame
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  shot 6-still-running
  kill "$pid"
  echo "still running" >"$out/exit-code"
  exit 1
fi
wait "$pid"
echo $? >"$out/exit-code"
INNER

# Another X server starting at the same moment can take the display number: try again then.
for attempt in 1 2 3; do
  rm -f "$out/exit-code"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash "$inner" "$binary" "$out" || true
  grep -q "could not connect to display" "$out/program.log" 2>/dev/null || break
  echo "gui-smoke: the X server was not reachable (attempt $attempt), trying again" >&2
  sleep 2
done

code=$(cat "$out/exit-code" 2>/dev/null || echo "none")
lines=$(wc -l <"$out/series.txt" 2>/dev/null || echo 0)
echo "gui-smoke: exit code $code, series lines $lines, screenshots in $out"
[ "$code" = "0" ] && [ "$lines" -eq 10000 ] || { echo "gui-smoke: FAILED (see $out/program.log)" >&2; exit 1; }
grep -q "You can select one of the following" "$out/copied.txt" 2>/dev/null || { echo "gui-smoke: FAILED: the copied text lacks the dialogue's first line" >&2; exit 1; }
echo "gui-smoke: passed"
