#!/bin/sh
# The manual page of a companion program (kinroll-contacts, kinroll-web)
# formats without warnings, documents every option its usage names and
# each exit status, names WORDS, and is installed with the program.
# Usage: companion_manual_test.sh SOURCE_DIR BUILD_DIR PROGRAM [WORD...]
set -eu
top=$1
build=$2
program=$3
shift 3
page_file=$top/man/$program.1
command -v man >/dev/null 2>&1 || exit 77
warnings=$(man --warnings -l "$page_file" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
page=$(MANWIDTH=200 man -l "$page_file" 2>/dev/null)
usage=$("$build/$program" --help | grep '^ *\([Uu]sage:\|  \)')
options=$(printf '%s\n' "$usage" | grep -oE -- '\[-(-[a-z-]+|[a-z])' | tr -d '[' | sort -u)
[ -n "$options" ] || { echo "no options in the usage: $usage"; exit 1; }
for opt in $options -h --help --version; do
  printf '%s\n' "$page" | grep -Eq -- "^ +(-[a-z], )?$opt(,| |$)" || { echo "option $opt is not described in the manual"; exit 1; }
done
for status in 0 2; do
  printf '%s\n' "$page" | grep -Eq "^ +$status( |$)" || { echo "exit status $status is not in the manual"; exit 1; }
done
for word in "$@"; do
  printf '%s\n' "$page" | grep -q "$word" || { echo "$word is not in the manual"; exit 1; }
done
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest" >/dev/null
test -x "$dest/bin/$program"
test -f "$dest/share/man/man1/$program.1.gz"
