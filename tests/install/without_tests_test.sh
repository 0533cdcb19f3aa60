#!/bin/sh
# With BUILD_TESTING=OFF the configure step succeeds where GoogleTest cannot
# be found, and the build has every program of this build and no test.
# Usage: without_tests_test.sh SOURCE_DIR BUILD_DIR
set -eu
top=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -G "Unix Makefiles" -S "$top" -B "$scratch" -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
      -DCMAKE_CXX_COMPILER="$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")" \
      > "$scratch/configure.log" 2>&1 || { cat "$scratch/configure.log"; exit 1; }
cmake --build "$scratch" --target help > "$scratch/targets"
for program in kinroll kinroll-changes kinroll-contacts kinroll-web; do
  if [ -x "$build/$program" ] && ! grep -qx "\.\.\. $program" "$scratch/targets"; then
    echo "no target $program without the tests"
    exit 1
  fi
done
if grep -q -e '^\.\.\. test_' -e '^\.\.\. replay_' "$scratch/targets"; then
  echo "test targets without the tests:"
  grep -e '^\.\.\. test_' -e '^\.\.\. replay_' "$scratch/targets"
  exit 1
fi
