#!/usr/bin/env bash
# Builds the Debian package mapexplorer_VERSION_ARCH.deb in build-package/: a Release build of
# the installed programs only (no tests, no benchmarks, no sanitizers), then CPack. The build
# disables the GoogleTest and Google Benchmark packages, so it also shows that the explorer
# builds without them.
#
#   scripts/package.sh [--check]
#
# --check then installs the package into this machine (apt-get, which also brings any missing
# dependency), runs the installed mapexplorer --version, man -w mapexplorer, a short recording
# in the terminal, the frame (offscreen) and fio_probe, and removes the package again. It needs
# root (or sudo), and a machine where mapexplorer is not installed yet.
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case ${1:-} in
  "") ;;
  --check) check=true ;;
  *)
    echo "usage: scripts/package.sh [--check]" >&2
    exit 2
    ;;
esac

build=build-package
say() { echo "package: $*" >&2; }

say "configuring $build (Release, no tests, no benchmarks)"
mkdir -p "$build"
if ! cmake -S . -B "$build" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DMAPEXPLORER_SANITIZE= \
       -DBUILD_TESTING=OFF -DMAPEXPLORER_BUILD_BENCHMARKS=OFF -DMAPEXPLORER_INSTALL_DATA=ON \
       -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
       >"$build/configure.log" 2>&1; then
  cat "$build/configure.log" >&2
  exit 1
fi
say "building"
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/mapexplorer_*.deb
say "making the package"
(cd "$build" && cpack -G DEB) >&2
debs=("$build"/mapexplorer_*.deb)
deb=$(cd "$(dirname "${debs[0]}")" && pwd)/$(basename "${debs[0]}")
[ -f "$deb" ] || { say "cpack made no package"; exit 1; }
say "$deb ($(stat -c %s "$deb") bytes)"
echo "$deb"
$check || exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    as_root=(sudo)
  else
    say "--check installs the package and needs root or sudo"
    exit 1
  fi
fi
if dpkg-query -W -f='${Status}' mapexplorer 2>/dev/null | grep -q "install ok installed"; then
  say "mapexplorer is installed already; remove it first (apt-get remove mapexplorer), so that"
  say "the check can leave the machine as it found it"
  exit 1
fi

scratch=$(mktemp -d)
remove_package() {
  "${as_root[@]}" dpkg --remove mapexplorer >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap remove_package EXIT

failures=0
fail() {
  say "FAIL: $*"
  failures=$((failures + 1))
}

say "installing $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y "$deb" >&2

version=$(dpkg-deb -f "$deb" Version)
[ "$(command -v mapexplorer)" = /usr/bin/mapexplorer ] || fail "mapexplorer is not /usr/bin/mapexplorer"
printed=$(/usr/bin/mapexplorer --version)
[ "$printed" = "mapexplorer $version" ] || fail "mapexplorer --version printed '$printed', expected 'mapexplorer $version'"
say "mapexplorer --version: $printed"
manual=$(man -w mapexplorer 2>&1) || true
[ "$manual" = /usr/share/man/man1/mapexplorer.1.gz ] || fail "man -w mapexplorer: $manual"
say "man -w mapexplorer: $manual"

# The installed explorer in the terminal: 10000 values of the quadratic map.
if printf '1\n2.0\n0.5\nn\nn\nn\nn\nn\n' |
     env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/mapexplorer --terminal "$scratch/series.dat" \
     >"$scratch/transcript" 2>"$scratch/errors"; then
  lines=$(wc -l <"$scratch/series.dat")
  [ "$lines" -eq 10000 ] || fail "the recording wrote $lines lines, expected 10000"
  say "a recording in the terminal wrote $lines lines"
else
  fail "the installed mapexplorer failed in the terminal: $(cat "$scratch/errors")"
fi
# The installed explorer with a display (Qt's offscreen one) opens its frame from the installed
# module and waits there for its user: it is still running when stopped after 5 s. A missing
# or unloadable module ends it at once with "cannot open the frame".
status=0
DISPLAY=:98765 QT_QPA_PLATFORM=offscreen timeout -s KILL 5 /usr/bin/mapexplorer "$scratch/frame.dat" \
  </dev/null >/dev/null 2>"$scratch/frame-errors" || status=$?
if [ "$status" -eq 137 ]; then
  say "the installed explorer opened its frame"
else
  fail "the installed explorer did not open its frame (status $status): $(cat "$scratch/frame-errors")"
fi
probe=$(/usr/bin/fio_probe write '(F6.2)' r8:2.5 2>/dev/null | tr -d '\r')
[ "$probe" = "  2.50" ] || fail "fio_probe write '(F6.2)' r8:2.5 printed '$probe'"

say "removing the package"
"${as_root[@]}" dpkg --remove mapexplorer >&2
[ ! -e /usr/bin/mapexplorer ] || fail "/usr/bin/mapexplorer is still there after the removal"

if [ "$failures" -gt 0 ]; then
  say "$failures check(s) failed"
  exit 1
fi
say "the installed package works"
