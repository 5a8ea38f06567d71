#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing mapexplorer need.
set -euo pipefail

packages=(
  build-essential cmake git pkg-config
  qt6-base-dev qt6-qpa-plugins libqt6printsupport6 libgl-dev libglx-dev libvulkan-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
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
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
