#!/usr/bin/env bash
# Fails when an #include in the sources crosses the layer order:
#
#   app -> gui, terminal -> console -> runtime      numerics -> runtime      probe -> runtime
#
# Each layer may include its own headers and those of the layers it sits on, and only the Qt
# modules listed for it: runtime, numerics and probe no Qt at all, console and terminal QtCore
# and QtGui (never a widget), gui also QtWidgets and QtPrintSupport. gui and terminal never
# include each other or app.
#
# Two narrower rules. gui and terminal see the console only through its seam: of console/ they
# include core_access.h (what a presentation may ask of the core) and presentation.h (what it
# does for the core), and those two include of console/ only each other and the plain
# vocabulary of their calls, never the core's internals. numerics uses the runtime in one file
# only, error_output.cpp, which prints the library's errors through it.
#
#   scripts/check-layers.sh [--qt-headers DIR] [SOURCE_DIR]
#
# SOURCE_DIR defaults to the checkout's src/. DIR is Qt's include directory (the one holding
# QtCore/, QtGui/, ...); by default qtpaths6 tells it. A header such as <QImage> belongs to the
# module whose directory holds it.
set -euo pipefail

usage() {
  echo "usage: scripts/check-layers.sh [--qt-headers DIR] [SOURCE_DIR]" >&2
  exit 2
}
qt_headers=
source_dir=$(cd "$(dirname "$0")/.." && pwd)/src
while [ $# -gt 0 ]; do
  case $1 in
    --qt-headers)
      [ $# -ge 2 ] || usage
      qt_headers=$2
      shift 2
      ;;
    -*) usage ;;
    *)
      source_dir=$1
      shift
      ;;
  esac
done
[ -d "$source_dir" ] || { echo "check-layers: $source_dir is no directory" >&2; exit 2; }
cd "$source_dir"
if [ -z "$qt_headers" ]; then
  for query in qtpaths6 qmake6; do
    if command -v "$query" >/dev/null; then
      qt_headers=$("$query" -query QT_INSTALL_HEADERS 2>/dev/null || true)
      [ -n "$qt_headers" ] && break
    fi
  done
fi
if [ ! -d "$qt_headers/QtCore" ]; then
  echo "check-layers: Qt's headers not found (got '$qt_headers'); pass --qt-headers DIR" >&2
  exit 2
fi

# layer: the layers it may include (itself first) | the Qt modules it may include
declare -A allowed_layers=(
  [runtime]="runtime"
  [numerics]="numerics"
  [probe]="probe runtime"
  [console]="console runtime"
  [terminal]="terminal console runtime"
  [gui]="gui console runtime"
  [app]="app gui terminal console numerics runtime"
)
declare -A allowed_qt=(
  [runtime]=""
  [numerics]=""
  [probe]=""
  [console]="QtCore QtGui"
  [terminal]="QtCore QtGui"
  [gui]="QtCore QtGui QtWidgets QtPrintSupport"
  [app]="QtCore QtGui"
)
# Single files that may include a layer beyond their own layer's list.
declare -A allowed_layers_of_file=(
  [numerics/error_output.cpp]="runtime"
)
# The console's seam, the layers that sit behind it, and what the seam may include of console/.
seam_headers="console/core_access.h console/presentation.h"
seam_vocabulary="console/selection.h console/graphics_status.h"
declare -A behind_seam=([gui]=console [terminal]=console)

# Sets module to the Qt module of an angle-bracket header, or to nothing when it is not Qt's.
declare -A module_of=()
find_qt_module() {
  local header=$1 found
  if [ -z "${module_of[$header]+set}" ]; then
    module_of[$header]=
    case $header in
      Qt*/*) module_of[$header]=${header%%/*} ;;
      *)
        if [ -d "$qt_headers/$header" ]; then
          module_of[$header]=$header # a whole module: <QtGui>
        else
          for found in "$qt_headers"/Qt*/"$header"; do
            if [ -f "$found" ]; then
              module_of[$header]=$(basename "$(dirname "$found")")
              break
            fi
          done
        fi
        ;;
    esac
  fi
  module=${module_of[$header]}
}

contains() {
  local word=$1 list=$2 item
  for item in $list; do [ "$item" = "$word" ] && return 0; done
  return 1
}

violations=0
report() {
  echo "$1" >&2
  violations=$((violations + 1))
}

known_layers=" ${!allowed_layers[*]} "
for directory in */; do
  layer=${directory%/}
  if [ -z "${allowed_layers[$layer]+set}" ]; then
    report "$layer: a directory that is no known layer (add it to scripts/check-layers.sh)"
    continue
  fi
  while IFS=: read -r file line text; do
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      if [[ $header != */* ]]; then
        [ -f "$(dirname "$file")/$header" ] && continue
        report "$file:$line: \"$header\" is not beside it; name its layer (\"$layer/...\")"
        continue
      fi
      target=${header%%/*}
      if [[ $known_layers != *" $target "* ]]; then
        report "$file:$line: \"$header\" names no layer"
      elif ! contains "$target" "${allowed_layers[$layer]} ${allowed_layers_of_file[$file]:-}"; then
        report "$file:$line: $layer includes \"$header\" of the layer $target"
      elif [ "${behind_seam[$layer]:-}" = "$target" ] && ! contains "$header" "$seam_headers"; then
        report "$file:$line: $layer includes \"$header\", behind the console's seam ($seam_headers)"
      fi
    elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      find_qt_module "$header"
      if [ -n "$module" ] && ! contains "$module" "${allowed_qt[$layer]}"; then
        report "$file:$line: $layer includes <$header> of $module"
      fi
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "$layer" || true)
done

# The seam shows no more than its vocabulary: its headers include nothing else of console/.
for header in $seam_headers $seam_vocabulary; do
  [ -f "$header" ] || continue
  while IFS=: read -r line text; do
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"(console/[^\"]+)\" ]] &&
      ! contains "${BASH_REMATCH[1]}" "$seam_headers $seam_vocabulary"; then
      report "$header:$line: the console's seam includes \"${BASH_REMATCH[1]}\", which is behind it"
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$header" || true)
done

if [ "$violations" -gt 0 ]; then
  echo "check-layers: $violations include(s) cross the layer order" >&2
  exit 1
fi
echo "check-layers: every include in $source_dir keeps to the layer order"
