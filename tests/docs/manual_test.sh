#!/bin/sh
# The manual pages format without warnings, document every menu option and
# command-line option, name the other pages (never their own) under SEE
# ALSO, point at docs/outputs.md, and are installed with the programs, the
# converters they name and outputs.md.
# Usage: manual_test.sh SOURCE_DIR BUILD_DIR
set -eu
top=$1
build=$2
command -v man >/dev/null 2>&1 || exit 77
for page in kinroll.1 kinroll-changes.1; do
  warnings=$(man --warnings -l "$top/man/$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    exit 1
  fi
done
# Every page names the licence and every program of the suite.
for page_file in "$top"/man/*.1; do
  text=$(MANWIDTH=200 man -l "$page_file" 2>/dev/null)
  printf '%s\n' "$text" | grep -q '^COPYRIGHT' || { echo "$page_file: no COPYRIGHT"; exit 1; }
  printf '%s\n' "$text" | grep -q 'MIT licence' || { echo "$page_file: no licence"; exit 1; }
  also=$(printf '%s\n' "$text" | sed -n '/^SEE ALSO/,$p')
  self=$(basename "$page_file" .1)
  for program in kinroll kinroll-book kinroll-changes kinroll-contacts kinroll-web; do
    if [ "$program" = "$self" ]; then
      if printf '%s\n' "$also" | grep -Eq "(^|[^a-z-])$program\(1\)"; then
        echo "$page_file: SEE ALSO lists its own page"
        exit 1
      fi
    else
      printf '%s\n' "$also" | grep -q "$program(1)" || { echo "$page_file: SEE ALSO lacks $program"; exit 1; }
    fi
  done
  printf '%s\n' "$also" | grep -q '/usr/share/doc/kinroll/outputs.md' ||
    { echo "$page_file: SEE ALSO lacks outputs.md"; exit 1; }
done
page=$(MANWIDTH=200 man -l "$top/man/kinroll.1" 2>/dev/null)
# The converters, where the package and make install put them.
for converter in convert-html.sh convert-pdb.sh; do
  printf '%s\n' "$page" | grep -q "/usr/share/kinroll/$converter" ||
    { echo "kinroll.1 does not name /usr/share/kinroll/$converter"; exit 1; }
done
for n in 7 8 9 22 101 110 120 130 201 202 209 210 212 215 220 225 227 230 240 290 \
         301 310 312 314 320 401 410 412 420 701 720 730 790 800; do
  printf '%s\n' "$page" | grep -Eq "(^|[^0-9])$n([^0-9]|$)" || { echo "option $n is not in the manual"; exit 1; }
done
changes=$(MANWIDTH=200 man -l "$top/man/kinroll-changes.1" 2>/dev/null)
for opt in --csv --help --version; do
  printf '%s\n' "$changes" | grep -q -- "$opt" || { echo "option $opt is not in kinroll-changes.1"; exit 1; }
done
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest" >/dev/null
test -x "$dest/bin/kinroll"
test -f "$dest/share/man/man1/kinroll.1.gz"
test -x "$dest/bin/kinroll-changes"
test -x "$dest/share/kinroll/convert-html.sh"
test -x "$dest/share/kinroll/convert-pdb.sh"
test -f "$dest/share/man/man1/kinroll-changes.1.gz"
cmp "$top/docs/outputs.md" "$dest/share/doc/kinroll/outputs.md"
