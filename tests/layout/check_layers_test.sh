#!/usr/bin/env bash
# Runs the include check on a scratch tree with one file per case and checks that it reports
# exactly the files that cross the layer order.
#
#   check_layers_test.sh CHECK_SCRIPT QT_HEADERS
set -euo pipefail
check=$1
qt_headers=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

# file (under src/) | included header | crosses the order?
cases=(
  'runtime/qt_string.cpp|<QString>|yes'
  'runtime/console_header.cpp|"console/console_core.h"|yes'
  'runtime/numerics_header.cpp|"numerics/error_stack.h"|yes'
  'runtime/standard_header.cpp|<vector>|no'
  'runtime/own_layer.cpp|"runtime/io/units.h"|no'
  'numerics/qt_module.cpp|<QtCore>|yes'
  'numerics/runtime_header.cpp|"runtime/io/units.h"|yes'
  'numerics/error_output.cpp|"runtime/io/statements.h"|no'
  'probe/console_header.cpp|"console/console_api.h"|yes'
  'console/widget.cpp|<QWidget>|yes'
  'console/widget_with_module.cpp|<QtWidgets/QLabel>|yes'
  'console/printer.cpp|<QPrinter>|yes'
  'console/image.cpp|<QImage>|no'
  'console/gui_header.cpp|"gui/frame_window.h"|yes'
  'console/terminal_header.cpp|"terminal/transcript.h"|yes'
  'console/app_header.cpp|"app/dialogue.h"|yes'
  'gui/terminal_header.cpp|"terminal/transcript.h"|yes'
  'gui/app_header.cpp|"app/plot.h"|yes'
  'gui/printer.cpp|<QPrinter>|no'
  'gui/console_header.cpp|"console/presentation.h"|no'
  'gui/seam_header.cpp|"console/core_access.h"|no'
  'gui/core_header.cpp|"console/console_core.h"|yes'
  'terminal/core_internal.cpp|"console/run_control.h"|yes'
  'console/core_access.h|"console/window_table.h"|yes'
  'console/presentation.h|"console/selection.h"|no'
  'terminal/gui_header.cpp|"gui/gui_entry.h"|yes'
  'terminal/app_header.cpp|"app/dialogue.h"|yes'
  'terminal/widget.cpp|<QApplication>|yes'
  'terminal/socket_notifier.cpp|<QSocketNotifier>|no'
  'app/presentations.cpp|"gui/gui_entry.h"|no'
  'app/widget.cpp|<QMainWindow>|yes'
  'app/unknown_layer.cpp|"widgets/button.h"|yes'
  'app/absent_header.cpp|"not_here.h"|yes'
  'tools/anything.cpp|<vector>|yes'
)

for entry in "${cases[@]}"; do
  IFS='|' read -r file header _ <<<"$entry"
  mkdir -p "$tree/src/$(dirname "$file")"
  printf '// A case of the include check.\n#include %s\n' "$header" >"$tree/src/$file"
done
# A header beside the file that includes it by its bare name is part of the same layer.
printf '#pragma once\n' >"$tree/src/gui/queue.h"
printf '#include "queue.h"\n' >"$tree/src/gui/neighbour.cpp"

status=0
"$check" --qt-headers "$qt_headers" "$tree/src" >"$tree/out" 2>&1 || status=$?
if [ "$status" -ne 1 ]; then
  echo "FAIL: the check exited with $status on a tree with crossings, expected 1" >&2
  cat "$tree/out" >&2
  exit 1
fi

failures=0
for entry in "${cases[@]}"; do
  IFS='|' read -r file header crosses <<<"$entry"
  name=$file
  [ "$file" = "tools/anything.cpp" ] && name=tools # an unknown directory is reported whole
  if cut -d: -f1 "$tree/out" | grep -qxF "$name"; then reported=yes; else reported=no; fi
  if [ "$reported" != "$crosses" ]; then
    echo "FAIL: $file including $header: reported $reported, expected $crosses" >&2
    failures=$((failures + 1))
  fi
done
if cut -d: -f1 "$tree/out" | grep -qxF "gui/neighbour.cpp"; then
  echo "FAIL: gui/neighbour.cpp including the header beside it was reported" >&2
  failures=$((failures + 1))
fi
if [ "$failures" -gt 0 ]; then
  echo "--- the check's output:" >&2
  cat "$tree/out" >&2
  exit 1
fi
echo "check-layers: ${#cases[@]} cases reported as expected"
