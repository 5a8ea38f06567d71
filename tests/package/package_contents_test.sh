#!/usr/bin/env bash
# Builds the Debian package of a build directory into a scratch directory and checks what is
# in it: the files an installation needs, the version the explorer prints, dependencies found
# by dpkg-shlibdeps, a valid desktop entry, a 64 px icon, and a manual page that is free of
# formatting warnings and documents every option of --help.
#
#   package_contents_test.sh BUILD_DIR EXPLORER [CPACK]
set -euo pipefail
build=$1
explorer=$2
cpack=${3:-cpack}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
debs=("$scratch"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb in $scratch, found: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Every file an installation needs, with its mode.
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' >"$scratch/contents"
expected=(
  '-rwxr-xr-x ./usr/bin/mapexplorer'
  '-rwxr-xr-x ./usr/bin/fio_probe'
  '-rw-r--r-- ./usr/share/applications/mapexplorer.desktop'
  '-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/mapexplorer.svg'
  '-rw-r--r-- ./usr/share/icons/hicolor/64x64/apps/mapexplorer.png'
  '-rw-r--r-- ./usr/share/man/man1/mapexplorer.1.gz'
  '-rw-r--r-- ./usr/share/doc/mapexplorer/README.md'
)
for line in "${expected[@]}"; do
  grep -qxF -- "$line" "$scratch/contents" || fail "the package lacks $line"
done
# The frame's module, in the library directory (multiarch or not) where the explorer looks.
grep -qE '^-rw-r--r-- \./usr/lib/([^/]+/)?mapexplorer/mapexplorer_frame\.so$' "$scratch/contents" ||
  fail "the package lacks the frame's module mapexplorer_frame.so"

# The control fields: the version is the one the explorer prints; the dependencies name the
# Qt libraries the programs link.
version=$("$explorer" --version | awk '{ print $2 }')
package_version=$(dpkg-deb -f "$deb" Version)
[ "$package_version" = "$version" ] || fail "package version $package_version, mapexplorer --version says $version"
[ "$(dpkg-deb -f "$deb" Package)" = mapexplorer ] || fail "the package is not named mapexplorer"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library: $depends"
done

dpkg-deb -x "$deb" "$scratch/root"
share=$scratch/root/usr/share

# The desktop entry: valid (hints are allowed, warnings and errors are not), in the menus of
# education and science, starting the installed explorer with the installed icon.
desktop=$share/applications/mapexplorer.desktop
if [ -f "$desktop" ]; then
  if ! desktop-file-validate "$desktop" >"$scratch/validate" 2>&1 ||
     grep -qE ': (error|warning): ' "$scratch/validate"; then
    fail "desktop-file-validate: $(cat "$scratch/validate")"
  fi
  categories=$(sed -n 's/^Categories=//p' "$desktop")
  for category in Education Science; do
    [[ ";$categories" == *";$category;"* ]] || fail "Categories lacks $category: $categories"
  done
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$scratch/root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon has no scalable icon"
fi

# The PNG icon: its header says 64 by 64 pixels.
png=$share/icons/hicolor/64x64/apps/mapexplorer.png
if [ -f "$png" ]; then
  signature=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
  [ "$signature" = 89504e470d0a1a0a ] || fail "mapexplorer.png is no PNG"
  [ "$size" = 64x64 ] || fail "mapexplorer.png is $size, expected 64x64"
fi

# The manual page: formats without warnings and documents every option --help names.
manual=$share/man/man1/mapexplorer.1.gz
if [ -f "$manual" ]; then
  MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" >"$scratch/manual.txt" 2>"$scratch/manual.warnings" ||
    fail "man could not format the manual page"
  [ -s "$scratch/manual.warnings" ] && fail "the manual page has warnings: $(cat "$scratch/manual.warnings")"
  # man's output may hyphenate at a line end; join such words before looking for the options.
  tr -d '\n' <"$scratch/manual.txt" | sed 's/‐ *//g' >"$scratch/manual.joined"
  options=$("$explorer" --help | grep -oE '(^|[[:space:]])--[a-z][a-z-]*' | tr -d ' ' | sort -u)
  [ -n "$options" ] || fail "mapexplorer --help names no option"
  for option in $options; do
    grep -qF -- "$option" "$scratch/manual.joined" || fail "the manual page does not mention $option"
  done
  grep -q "EXIT STATUS" "$scratch/manual.txt" || fail "the manual page lacks its EXIT STATUS section"
fi

if [ "$failures" -gt 0 ]; then
  echo "--- dpkg-deb -c:" >&2
  dpkg-deb -c "$deb" >&2
  exit 1
fi
echo "package_contents: ${#expected[@]} files, version $version, Depends: $depends"
