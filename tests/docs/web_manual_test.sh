#!/bin/sh
# The manual page of kinroll-web formats without warnings, documents every
# option the program's usage line names and each exit status, and is
# installed with the program. Usage: web_manual_test.sh SOURCE_DIR BUILD_DIR
set -eu
top=$1
build=$2
page_file=$top/man/kinroll-web.1
command -v man >/dev/null 2>&1 || exit 77
warnings=$(man --warnings -l "$page_file" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
page=$(MANWIDTH=200 man -l "$page_file" 2>/dev/null)
options=$("$build/kinroll-web" --help | grep -oE -- '--[a-z-]+' | sort -u)
[ -n "$options" ] || { echo "no options in the usage"; exit 1; }
for opt in $options; do
  printf '%s\n' "$page" | grep -Eq -- "^ +$opt( |$)" || { echo "option $opt is not described in the manual"; exit 1; }
done
for status in 0 2; do
  printf '%s\n' "$page" | grep -Eq "^ +$status( |$)" || { echo "exit status $status is not in the manual"; exit 1; }
done
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest" >/dev/null
test -x "$dest/bin/kinroll-web"
test -f "$dest/share/man/man1/kinroll-web.1"
