#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging mapexplorer
# need. Everything it prints goes to standard error, so that a script's standard output stays
# its own. Without root it uses sudo; where there is no sudo either, it names the missing
# packages and stops.
set -euo pipefail
exec >&2

packages=(
  build-essential cmake git pkg-config clang
  qt6-base-dev qt6-qpa-plugins libfontconfig-dev libqt6printsupport6 libgl-dev libglx-dev libvulkan-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  nlohmann-json3-dev
  fonts-liberation fonts-dejavu-core
  help2man librsvg2-bin desktop-file-utils man-db
  xvfb xauth xdotool xclip imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "mapexplorer needs these Debian packages, which are not installed:"
    echo "  ${missing[*]}"
    echo "Installing them needs root, and sudo is not available. Ask an administrator to run:"
    echo "  apt-get update && apt-get install ${missing[*]}"
    exit 1
  fi
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
