#!/usr/bin/env bash
# How much of the start to the first prompt the explorer can still save: builds the programs of
# bench/startup_floor.cpp (an empty program; Qt Core; Qt Gui on the offscreen platform; Qt Gui
# with the monospace font measured) and times each with first_prompt_bench, alternating with
# the explorer, ROUNDS runs each (default 60). A level's "first prompt" is the time from start to
# its one line; the explorer's part on top of the Qt Gui levels is what its own code costs.
#
#   bench/startup_floor.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
rounds=${2:-60}
explorer=$build/bin/mapexplorer
timer=$build/bin/first_prompt_bench
for program in "$explorer" "$timer"; do
  [ -x "$program" ] || { echo "no $program: build it first (scripts/build.sh $build \"\" mapexplorer first_prompt_bench)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/startup-floor-XXXXXX")
trap 'rm -rf "$work"' EXIT
read -r -a qt_core_flags <<<"$(pkg-config --cflags --libs Qt6Core)"
read -r -a qt_gui_flags <<<"$(pkg-config --cflags --libs Qt6Gui)"
compile() {  # NAME [FLAGS...]
  local name=$1
  shift
  g++ -O2 -std=c++20 -fPIC -o "$work/$name" bench/startup_floor.cpp "$@"
}
compile empty
compile qt-core -DFLOOR_QT_CORE "${qt_core_flags[@]}"
compile qt-gui -DFLOOR_QT_GUI "${qt_gui_flags[@]}"
compile qt-gui-font -DFLOOR_QT_GUI_FONT "${qt_gui_flags[@]}"

"$timer" "$rounds" "$work/empty" "$work/qt-core" "$work/qt-gui" "$work/qt-gui-font" "$explorer" |
  sed "s|$work/||"
