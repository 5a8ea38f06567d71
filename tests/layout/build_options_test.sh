#!/usr/bin/env bash
# Configures the project in scratch directories, one per row of the table below: each part
# that is switched off must not look for its packages (CMake lists a package's
# CMAKE_DISABLE_FIND_PACKAGE_<name> among the variables the project did not use), and a part
# that is on must fail without its package, which shows that the disabling works.
#
#   build_options_test.sh SOURCE_DIR CMAKE SCRATCH_DIR
set -euo pipefail
source_dir=$1
cmake=$2
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"

# settings | packages disabled | configure succeeds? | targets that must not exist
rows=(
  '-DBUILD_TESTING=OFF|GTest benchmark|yes|console_tests explorer_e2e_tests conversion_bench'
  '-DBUILD_TESTING=ON -DMAPEXPLORER_BUILD_BENCHMARKS=OFF|benchmark|yes|conversion_bench'
  '-DBUILD_TESTING=OFF -DMAPEXPLORER_BUILD_BENCHMARKS=ON|GTest|yes|console_tests'
  '-DMAPEXPLORER_BUILD_QT=OFF -DBUILD_TESTING=OFF|Qt6 GTest benchmark|yes|mapexplorer console'
  '-DBUILD_TESTING=ON|GTest|no|'
  '-DBUILD_TESTING=OFF -DMAPEXPLORER_BUILD_BENCHMARKS=ON|benchmark|no|'
)

failures=0
row_number=0
for row in "${rows[@]}"; do
  row_number=$((row_number + 1))
  IFS='|' read -r settings packages succeeds absent_targets <<<"$row"
  build="$scratch/$row_number"
  disable=()
  for package in $packages; do disable+=("-DCMAKE_DISABLE_FIND_PACKAGE_$package=ON"); done
  # shellcheck disable=SC2086
  if "$cmake" -S "$source_dir" -B "$build" $settings "${disable[@]}" >"$build.log" 2>&1; then
    configured=yes
  else
    configured=no
  fi
  problem=
  if [ "$configured" != "$succeeds" ]; then
    problem="configure succeeded: $configured, expected $succeeds"
  elif [ "$configured" = no ]; then
    for package in $packages; do
      grep -q "CMAKE_DISABLE_FIND_PACKAGE_$package is enabled" "$build.log" ||
        problem+="failed for another reason than $package; "
    done
  else
    for package in $packages; do
      grep -qx "    CMAKE_DISABLE_FIND_PACKAGE_$package" "$build.log" ||
        problem+="$package was looked for; "
    done
    for target in $absent_targets; do
      grep -qx "\.\.\. $target" <("$cmake" --build "$build" --target help) &&
        problem+="target $target exists; "
    done
  fi
  if [ -n "$problem" ]; then
    echo "FAIL: $settings (without $packages): $problem" >&2
    sed 's/^/    /' "$build.log" >&2
    failures=$((failures + 1))
  else
    echo "ok: $settings (without $packages): configure succeeded: $configured"
  fi
  rm -rf "$build" "$build.log"
done
[ "$failures" -eq 0 ]
