#!/usr/bin/env bash
# Installs what is missing, builds, and starts the explorer. Without a display (neither
# DISPLAY nor WAYLAND_DISPLAY set) it runs in the terminal. Arguments are passed on: file
# names for the series files, in order, and the explorer's options (--terminal, --help, ...).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build "" mapexplorer >/dev/null
exec build/bin/mapexplorer "$@"
