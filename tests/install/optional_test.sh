#!/bin/sh
# The optional programs' options at the configure step (tests left out, so
# that only the options matter). Where pkg-config finds no library at all:
# ON stops the configure step naming the Debian packages to install, AUTO
# goes on without the program and says what is missing, OFF goes on without
# it; a value other than AUTO, ON or OFF is refused. Where libical is
# installed, KINROLL_CONTACTS=ON builds kinroll-contacts.
# Usage: optional_test.sh SOURCE_DIR BUILD_DIR
set -eu
top=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")

# configure EXPECTED_STATUS TEXT_EXPECTED ARGUMENTS...: a configure step of
# the scratch build with ARGUMENTS (kinroll-book off unless they say) ends
# with EXPECTED_STATUS (0 or 1) and prints TEXT_EXPECTED.
configure() {
  want=$1
  text=$2
  shift 2
  status=0
  cmake -G "Unix Makefiles" -S "$top" -B "$scratch" -DCMAKE_CXX_COMPILER="$compiler" \
        -DBUILD_TESTING=OFF -DKINROLL_BOOK=OFF "$@" > "$scratch/log" 2>&1 || status=1
  # The log wraps long messages; join its lines.
  if [ "$status" != "$want" ] || ! tr -s '\n ' '  ' < "$scratch/log" | grep -qF -- "$text"; then
    echo "configure $*: status $status, not $want, or no \"$text\":"
    cat "$scratch/log"
    exit 1
  fi
}

export PKG_CONFIG_LIBDIR=$scratch/nowhere
configure 1 "KINROLL_WEB=ON, but kinroll-web needs packages that are not installed: libmicrohttpd-dev libzip-dev" \
  -DKINROLL_WEB=ON -DKINROLL_CONTACTS=OFF
configure 1 "KINROLL_BOOK=ON, but kinroll-book needs packages that are not installed: libcairo2-dev libpango1.0-dev" \
  -DKINROLL_BOOK=ON -DKINROLL_WEB=OFF -DKINROLL_CONTACTS=OFF
configure 1 "kinroll-contacts needs packages that are not installed: libical-dev" \
  -DKINROLL_WEB=OFF -DKINROLL_CONTACTS=ON
configure 0 "kinroll-web: not built, missing libmicrohttpd-dev libzip-dev" \
  -DKINROLL_WEB=AUTO -DKINROLL_CONTACTS=OFF
configure 0 "kinroll-contacts: not built (KINROLL_CONTACTS=OFF)" \
  -DKINROLL_WEB=AUTO -DKINROLL_CONTACTS=OFF
cmake --build "$scratch" --target help > "$scratch/targets"
if grep -qx -e '\.\.\. kinroll-web' -e '\.\.\. kinroll-contacts' "$scratch/targets"; then
  echo "an optional program to build without its libraries"
  exit 1
fi
configure 1 "KINROLL_WEB=maybe: the choices are AUTO, ON and OFF" -DKINROLL_WEB=maybe
unset PKG_CONFIG_LIBDIR

if command -v pkg-config >/dev/null 2>&1 && pkg-config --exists libical; then
  configure 0 "kinroll-contacts: built (KINROLL_CONTACTS=ON)" -DKINROLL_WEB=OFF -DKINROLL_CONTACTS=ON
  cmake --build "$scratch" --target help > "$scratch/targets"
  grep -qx '\.\.\. kinroll-contacts' "$scratch/targets" ||
    { echo "no kinroll-contacts with KINROLL_CONTACTS=ON"; exit 1; }
fi
