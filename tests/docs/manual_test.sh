#!/bin/sh
# The manual page formats without warnings, documents every menu option and
# is installed with the program. Usage: manual_test.sh SOURCE_DIR BUILD_DIR
set -eu
top=$1
build=$2
command -v man >/dev/null 2>&1 || exit 77
warnings=$(man --warnings -l "$top/man/kinroll.1" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
page=$(MANWIDTH=200 man -l "$top/man/kinroll.1" 2>/dev/null)
for n in 7 8 9 22 101 110 120 130 201 202 209 210 212 215 220 225 227 230 240 290 \
         301 310 312 314 320 401 410 412 420 701 720 730 790 800; do
  printf '%s\n' "$page" | grep -Eq "(^|[^0-9])$n([^0-9]|$)" || { echo "option $n is not in the manual"; exit 1; }
done
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest" >/dev/null
test -x "$dest/bin/kinroll"
test -f "$dest/share/man/man1/kinroll.1"
