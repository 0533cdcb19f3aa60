#!/bin/sh
# The manual page of kinroll-contacts formats without warnings, documents
# every option the program's usage line names and each exit status, and is
# installed with the program. Usage: contacts_manual_test.sh SOURCE_DIR BUILD_DIR
set -eu
top=$1
build=$2
page_file=$top/man/kinroll-contacts.1
command -v man >/dev/null 2>&1 || exit 77
warnings=$(man --warnings -l "$page_file" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
page=$(MANWIDTH=200 man -l "$page_file" 2>/dev/null)
usage=$("$build/kinroll-contacts" --help | head -1)
options=$(printf '%s\n' "$usage" | grep -oE -- '\[-(-[a-z]+|[a-z])' | tr -d '[' | sort -u)
[ -n "$options" ] || { echo "no options in the usage line: $usage"; exit 1; }
for opt in $options --help; do
  printf '%s\n' "$page" | grep -Eq -- "^ +$opt( |$)" || { echo "option $opt is not described in the manual"; exit 1; }
done
for status in 0 2; do
  printf '%s\n' "$page" | grep -Eq "^ +$status( |$)" || { echo "exit status $status is not in the manual"; exit 1; }
done
for word in SOURCE_DATE_EPOCH wardcontacts.vcf wardbirthdays.ics contacts.key; do
  printf '%s\n' "$page" | grep -q "$word" || { echo "$word is not in the manual"; exit 1; }
done
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest" >/dev/null
test -x "$dest/bin/kinroll-contacts"
test -f "$dest/share/man/man1/kinroll-contacts.1"
