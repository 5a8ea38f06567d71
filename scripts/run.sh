#!/usr/bin/env bash
# Installs what is missing, builds, and starts the explorer. Without a display (neither
# DISPLAY nor WAYLAND_DISPLAY set) it runs in the terminal. Arguments are passed on: file
# names for the series files, in order, and the explorer's options (--terminal, --help, ...).
#
# Progress goes to standard error: a line per stage, and the build's own percentage while it
# compiles (a first build on two cores takes a few minutes). Standard output carries the
# explorer's output alone, so a piped run's transcript holds nothing else. The whole build
# output is kept in build/run-build.log.
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "run.sh: $*" >&2; }

# Reads the build's output and shows its percentage on standard error: in place on a terminal,
# otherwise a line at every tenth.
show_percentage() {
  local line percent shown=-1
  while IFS= read -r line; do
    if [[ $line =~ ^\[\ *([0-9]+)%\] ]]; then
      percent=${BASH_REMATCH[1]}
    elif [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]]; then
      percent=$((BASH_REMATCH[1] * 100 / BASH_REMATCH[2]))
    else
      continue
    fi
    if [ -t 2 ]; then
      [ "$percent" -ne "$shown" ] && printf '\rrun.sh: building mapexplorer: %3d%%' "$percent" >&2
      shown=$percent
    elif [ $((percent / 10)) -gt "$shown" ]; then
      say "building mapexplorer: $percent%"
      shown=$((percent / 10))
    fi
  done
  if [ -t 2 ] && [ "$shown" -ge 0 ]; then printf '\n' >&2; fi
}

say "checking the Debian packages that the build needs"
scripts/install-deps.sh

say "building mapexplorer in build/ (the first build takes a few minutes)"
mkdir -p build
log=build/run-build.log
if ! scripts/build.sh build "" mapexplorer 2>&1 | tee "$log" | show_percentage; then
  say "the build failed; its last lines follow (all of it is in $log)"
  tail -n 40 "$log" >&2
  exit 1
fi

say "starting build/bin/mapexplorer"
exec build/bin/mapexplorer "$@"
